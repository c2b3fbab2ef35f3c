#pragma once
// The fixed registration order of all cleanup actions, with the default check mark of each. The
// order is the order of the list, of the cleanup run and of the stored check marks.

#include <optional>
#include <vector>

#include "model/DustmereClasses.h"

namespace dustmere {

struct TRegistrationRow {
  const char* ClassName;
  bool DefaultChecked;
  // The class; the special actions get theirs with their catalogue, until then their rows are
  // passed over.
  std::optional<TCleanupCustomItemClass> Class;
};

const std::vector<TRegistrationRow>& RegistrationTable();

// Registers one class if it applies to this machine; false when its class said no.
bool AddCleanupActionEntry(TCleanupList& List, const TCleanupCustomItemClass& ActionClass,
                           bool DefaultEnabled);

// Every row of the table that has a class, in order.
void RegisterCleanupActions(TCleanupList& List);

}  // namespace dustmere
