#pragma once
// Wildcard masks matched against whole paths, and mask lists: one comma-separated text of masks.
//
// "*" is any run of characters (path delimiters and colons included), "?" exactly one character,
// "[...]" a character set with ranges ("a-z") and negation ("[!...]"); everything else stands for
// itself. Letters a to z compare without regard to case; nothing else is folded.

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exception.h"
#include "platform/Text.h"

namespace dustmere {

// One mask, parsed once. Parsing an invalid mask raises "'<mask>' is an invalid mask at (<n>)".
class TMask {
public:
  explicit TMask(std::wstring_view Mask);

  // The literal characters every matching name starts with, upper-cased (up to 32).
  std::wstring_view LiteralPrefix() const noexcept { return {FPrefix, FPrefixLength}; }

  // The character every matching name ends with, upper-cased; 0 when there is none.
  wchar_t LastChar() const noexcept { return FLastChar; }

  // True when the mask describes the whole of Name.
  bool Matches(std::wstring_view Name) const noexcept {
    // Most names fail on their length, their last character or the first characters of an
    // anchored mask; those tests cost a few comparisons and run before anything else.
    if (Name.size() < FMinLength) return false;
    if (FLastChar && UpCaseAscii(Name.back()) != FLastChar) return false;
    for (std::uint32_t i = FPrefixLength; i-- > 0;)
      if (UpCaseAscii(Name[i]) != FPrefix[i]) return false;
    return MatchesSegments(Name);
  }

  // The same for a name already upper-cased in ASCII letters, which spares the folding.
  bool MatchesUpperCased(std::wstring_view UpperName) const noexcept {
    if (UpperName.size() < FMinLength) return false;
    if (FLastChar && UpperName.back() != FLastChar) return false;
    // From the back: paths share their first characters ("C:\\WINDOWS\\") far more often than
    // later ones, so the far end of a long folder prefix tells most names apart at once.
    for (std::uint32_t i = FPrefixLength; i-- > 0;)
      if (UpperName[i] != FPrefix[i]) return false;
    return MatchesSegments(UpperName);
  }

private:
  enum class TokenKind : std::uint8_t { Literal, AnyChar, Set };
  struct Token {
    TokenKind Kind;
    wchar_t Char;         // Literal: the character, upper-cased
    std::uint32_t Set;    // Set: index into FSets
  };
  struct CharSet {
    std::bitset<256> Members;  // upper-cased; sets hold characters up to code 255 only
    bool Negated = false;
  };
  // The mask is a run of segments separated by runs of "*"; each segment matches a fixed number
  // of characters, so the segments between the first and the last can be found leftmost-first.
  // A segment of literal characters only is searched for with a skip table.
  struct Segment {
    std::uint32_t First;  // index of the first token in FTokens
    std::uint32_t Count;
    std::int32_t Skips = -1;  // index into FSkipTables, or -1
  };
  static constexpr std::uint32_t PrefixCapacity = 32;

  bool TokenMatches(const Token& token, wchar_t c) const noexcept;
  bool SegmentMatchesAt(const Segment& segment, std::wstring_view name, size_t at,
                        std::uint32_t from = 0) const noexcept;
  size_t FindSegment(const Segment& segment, std::wstring_view name, size_t begin,
                     size_t end) const noexcept;
  bool MatchesSegments(std::wstring_view Name) const noexcept;
  void PrepareQuickTests();

  std::vector<Token> FTokens;
  std::vector<CharSet> FSets;
  std::vector<Segment> FSegments;
  std::vector<std::array<std::uint8_t, 256>> FSkipTables;
  bool FStarAtStart = false;
  bool FStarAtEnd = false;
  size_t FMinLength = 0;
  // The quick tests: the last character when the mask ends in a literal one (0: none), and the
  // literal characters the mask starts with (up to PrefixCapacity).
  wchar_t FLastChar = 0;
  std::uint32_t FPrefixLength = 0;
  wchar_t FPrefix[PrefixCapacity] = {};
};

bool MaskMatches(std::wstring_view Name, std::wstring_view Mask);

// Reading and writing the text form of a mask list.
std::vector<std::wstring> ReadMaskList(std::wstring_view MaskList);
std::wstring WriteMaskList(const std::vector<std::wstring>& Masks);

// Whether any mask of the list matches Name, trying them in order. An invalid mask raises when
// the matching reaches it.
bool MatchesMaskList(std::wstring_view Name, std::wstring_view MaskList);

// The mask list of Masks without the blank ones (empty, or only blanks and control characters).
std::wstring BuildMaskList(const std::vector<std::wstring>& Masks);

// Text that a mask must match literally, such as a folder path: "[" becomes the set "[[]", so a
// folder named x[1] stays a folder name. No other character of a Windows path is special.
std::wstring EscapeMaskText(std::wstring_view Text);

// A mask list read and parsed once, for matching many names against it.
class TMaskList {
public:
  TMaskList() = default;
  explicit TMaskList(std::wstring_view MaskList);

  bool Matches(std::wstring_view Name) const {
    // A name can only match a mask that ends in a literal character when it ends in that
    // character too; most names of a disk end in none of the few that a list's masks end in.
    if (!FAnyEnding) {
      const wchar_t last = Name.empty() ? 0 : UpCaseAscii(Name.back());
      if (last >= 128 || !FEndings.test(last)) return false;
    }
    for (const auto& mask : FMasks)
      if (mask.Matches(Name)) return true;
    if (FInvalid) throw Exception(FInvalidMessage);
    return false;
  }
  // A few comparisons that rule out most names before any mask is tried: the name's last
  // character against the masks' last literal characters, and, when every mask starts with
  // literal text, the character at one position of it. False: no mask can match.
  bool MayMatchUpperCased(std::wstring_view UpperName) const noexcept {
    if (!FAnyEnding) {
      const wchar_t last = UpperName.empty() ? 0 : UpperName.back();
      if (last >= 128 || !FEndings.test(std::size_t(last))) return false;
    }
    if (FProbe) {
      if (UpperName.size() <= FProbePosition) return false;
      const wchar_t c = UpperName[FProbePosition];
      if (c >= 128 || !FProbeChars.test(std::size_t(c))) return false;
    }
    return true;
  }

  // The same as Matches for a name already upper-cased in ASCII letters.
  bool MatchesUpperCased(std::wstring_view UpperName) const {
    if (!MayMatchUpperCased(UpperName)) return false;
    for (const auto& mask : FMasks)
      if (mask.MatchesUpperCased(UpperName)) return true;
    if (FInvalid) throw Exception(FInvalidMessage);
    return false;
  }
  bool Empty() const noexcept { return FMasks.empty() && !FInvalid; }

  // Whether a name that ends in C (upper-cased) can match at all, or make matching raise.
  bool MayEndWith(wchar_t C) const noexcept {
    return FAnyEnding || (C < 128 && FEndings.test(std::size_t(C)));
  }

private:
  // The masks before the first invalid one; matching that reaches the invalid one raises its
  // error, as the text form does, and never gets past it.
  std::vector<TMask> FMasks;
  bool FInvalid = false;
  std::wstring FInvalidMessage;
  // The last characters of the masks that end in an ASCII literal; FAnyEnding when some mask
  // can end in anything else (or an invalid mask must be reached).
  std::bitset<128> FEndings;
  bool FAnyEnding = false;
  // When every mask starts with at least FProbePosition + 1 literal ASCII characters: the
  // characters they have at that position.
  bool FProbe = false;
  std::size_t FProbePosition = 0;
  std::bitset<128> FProbeChars;
};

}  // namespace dustmere
