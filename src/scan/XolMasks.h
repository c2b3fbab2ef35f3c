#pragma once
// Wildcard masks matched against whole paths, and mask lists: one comma-separated text of masks.
//
// "*" is any run of characters (path delimiters and colons included), "?" exactly one character,
// "[...]" a character set with ranges ("a-z") and negation ("[!...]"); everything else stands for
// itself. Letters a to z compare without regard to case; nothing else is folded.

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace dustmere {

// One mask, parsed once. Parsing an invalid mask raises "'<mask>' is an invalid mask at (<n>)".
class TMask {
public:
  explicit TMask(std::wstring_view Mask);

  // True when the mask describes the whole of Name.
  bool Matches(std::wstring_view Name) const noexcept;

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
  struct Segment {
    std::uint32_t First;  // index of the first token in FTokens
    std::uint32_t Count;
  };

  bool TokenMatches(const Token& token, wchar_t c) const noexcept;
  bool SegmentMatchesAt(const Segment& segment, std::wstring_view name, size_t at) const noexcept;

  std::vector<Token> FTokens;
  std::vector<CharSet> FSets;
  std::vector<Segment> FSegments;
  bool FStarAtStart = false;
  bool FStarAtEnd = false;
  size_t FMinLength = 0;
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

  bool Matches(std::wstring_view Name) const;
  bool Empty() const noexcept { return FMasks.empty(); }

private:
  // An invalid mask keeps its error, raised when matching reaches it, as the text form does.
  std::vector<std::variant<TMask, std::wstring>> FMasks;
};

}  // namespace dustmere
