#include "scan/XolMasks.h"

#include "platform/Exception.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdint>

namespace dustmere {

namespace {

constexpr int MaxStarRuns = 30;

[[noreturn]] void RaiseInvalidMask(std::wstring_view mask, size_t position) {
  throw Exception(L"'" + std::wstring(mask) + L"' is an invalid mask at (" +
                  std::to_wstring(position) + L")");
}

constexpr bool IsBlankOrControl(wchar_t c) noexcept { return c >= 1 && c <= L' '; }

}  // namespace

// TMask

TMask::TMask(std::wstring_view Mask) {
  size_t segmentStart = 0;
  int starRuns = 0;
  bool inStarRun = false;

  // Positions in error messages are 1-based; the end of the mask is its length + 1.
  const auto closeStarRun = [&](size_t position) {
    if (!inStarRun) return;
    inStarRun = false;
    if (++starRuns > MaxStarRuns) RaiseInvalidMask(Mask, position);
  };
  const auto closeSegment = [&] {
    FSegments.push_back({std::uint32_t(segmentStart), std::uint32_t(FTokens.size() - segmentStart)});
    segmentStart = FTokens.size();
  };

  size_t i = 0;
  while (i < Mask.size()) {
    const wchar_t c = Mask[i];
    if (c == L'*') {
      if (!inStarRun) {
        if (i == 0)
          FStarAtStart = true;
        else
          closeSegment();
      }
      inStarRun = true;
      ++i;
      continue;
    }
    closeStarRun(i + 1);
    if (c == L'?') {
      FTokens.push_back({TokenKind::AnyChar, 0, 0});
      ++i;
    } else if (c == L'[') {
      CharSet set;
      ++i;
      if (i < Mask.size() && Mask[i] == L'!') {
        set.Negated = true;
        ++i;
      }
      bool haveLast = false;
      wchar_t last = 0;
      while (i < Mask.size() && Mask[i] != L']') {
        if (Mask[i] == L'-') {
          if (!haveLast) RaiseInvalidMask(Mask, i + 1);
          ++i;
          if (i >= Mask.size()) break;  // "[a-" is an unclosed set
          // The character after "-" ends the range, whatever it is, even "]".
          const wchar_t to = UpCaseAscii(Mask[i]);
          for (unsigned ch = unsigned(last); ch <= unsigned(to) && ch <= 255; ++ch) set.Members.set(ch);
        } else {
          last = UpCaseAscii(Mask[i]);
          haveLast = true;
          if (last <= 255) set.Members.set(last);
        }
        ++i;
      }
      if (i >= Mask.size()) RaiseInvalidMask(Mask, Mask.size() + 1);
      if (set.Members.none()) RaiseInvalidMask(Mask, i + 1);
      ++i;  // the closing "]"
      FTokens.push_back({TokenKind::Set, 0, std::uint32_t(FSets.size())});
      FSets.push_back(set);
    } else {
      FTokens.push_back({TokenKind::Literal, UpCaseAscii(c), 0});
      ++i;
    }
  }
  closeStarRun(Mask.size() + 1);
  FStarAtEnd = !Mask.empty() && Mask.back() == L'*';
  if (!FStarAtEnd || segmentStart < FTokens.size() || FSegments.empty()) closeSegment();
  FMinLength = FTokens.size();
  PrepareQuickTests();
}

void TMask::PrepareQuickTests() {
  if (!FStarAtEnd && !FTokens.empty() && FTokens.back().Kind == TokenKind::Literal)
    FLastChar = FTokens.back().Char;
  if (!FStarAtStart) {
    const Segment& head = FSegments.front();
    while (FPrefixLength < PrefixCapacity && FPrefixLength < head.Count &&
           FTokens[head.First + FPrefixLength].Kind == TokenKind::Literal) {
      FPrefix[FPrefixLength] = FTokens[head.First + FPrefixLength].Char;
      ++FPrefixLength;
    }
  }
  // Skip tables for the literal segments that must be searched for.
  for (size_t s = 0; s < FSegments.size(); ++s) {
    Segment& segment = FSegments[s];
    const bool searched = (s > 0 || FStarAtStart) && (s + 1 < FSegments.size() || FStarAtEnd);
    if (!searched || segment.Count < 3 || segment.Count > 255) continue;
    bool literal = true;
    for (std::uint32_t k = 0; k < segment.Count; ++k)
      literal = literal && FTokens[segment.First + k].Kind == TokenKind::Literal &&
                FTokens[segment.First + k].Char <= 255;
    if (!literal) continue;
    std::array<std::uint8_t, 256> skips;
    skips.fill(std::uint8_t(segment.Count));
    for (std::uint32_t k = 0; k + 1 < segment.Count; ++k)
      skips[FTokens[segment.First + k].Char] = std::uint8_t(segment.Count - 1 - k);
    segment.Skips = std::int32_t(FSkipTables.size());
    FSkipTables.push_back(skips);
  }
}

size_t TMask::FindSegment(const Segment& segment, std::wstring_view name, size_t begin,
                          size_t end) const noexcept {
  if (segment.Skips < 0) {
    for (; begin + segment.Count <= end; ++begin)
      if (SegmentMatchesAt(segment, name, begin)) return begin;
    return std::wstring_view::npos;
  }
  // Horspool: look at the character under the segment's last position and skip ahead by how far
  // that character stands from the segment's end.
  const auto& skips = FSkipTables[size_t(segment.Skips)];
  const size_t last = segment.Count - 1;
  while (begin + segment.Count <= end) {
    const wchar_t c = UpCaseAscii(name[begin + last]);
    if (c == FTokens[segment.First + last].Char && SegmentMatchesAt(segment, name, begin))
      return begin;
    begin += unsigned(c) <= 255 ? skips[c] : segment.Count;
  }
  return std::wstring_view::npos;
}

bool TMask::TokenMatches(const Token& token, wchar_t c) const noexcept {
  switch (token.Kind) {
    case TokenKind::Literal: return UpCaseAscii(c) == token.Char;
    case TokenKind::AnyChar: return true;
    case TokenKind::Set: {
      const CharSet& set = FSets[token.Set];
      const wchar_t upper = UpCaseAscii(c);
      const bool member = unsigned(upper) <= 255 && set.Members.test(upper);
      return member != set.Negated;
    }
  }
  return false;
}

bool TMask::SegmentMatchesAt(const Segment& segment, std::wstring_view name, size_t at,
                             std::uint32_t from) const noexcept {
  const Token* token = FTokens.data() + segment.First;
  for (std::uint32_t k = from; k < segment.Count; ++k)
    if (!TokenMatches(token[k], name[at + k])) return false;
  return true;
}

bool TMask::MatchesSegments(std::wstring_view Name) const noexcept {
  const bool anyStar = FStarAtStart || FSegments.size() > 1 || FStarAtEnd;
  // The literal prefix has been compared already.
  if (!anyStar)
    return Name.size() == FMinLength && SegmentMatchesAt(FSegments[0], Name, 0, FPrefixLength);

  // The first segment is anchored at the start unless a star leads, the last at the end unless
  // a star trails; the cheap anchored tests run first because most names fail there.
  size_t first = 0, last = FSegments.size();
  size_t begin = 0, end = Name.size();
  if (!FStarAtStart) {
    if (!SegmentMatchesAt(FSegments[0], Name, 0, FPrefixLength)) return false;
    begin = FSegments[0].Count;
    first = 1;
  }
  if (!FStarAtEnd && last > first) {
    const Segment& tail = FSegments[last - 1];
    if (end - begin < tail.Count) return false;
    if (!SegmentMatchesAt(tail, Name, end - tail.Count)) return false;
    end -= tail.Count;
    --last;
  }
  for (size_t s = first; s < last; ++s) {
    const Segment& segment = FSegments[s];
    if (segment.Count == 0) continue;
    const size_t at = FindSegment(segment, Name, begin, end);
    if (at == std::wstring_view::npos) return false;
    begin = at + segment.Count;
  }
  return true;
}

bool MaskMatches(std::wstring_view Name, std::wstring_view Mask) {
  return TMask(Mask).Matches(Name);
}

// Mask lists

std::vector<std::wstring> ReadMaskList(std::wstring_view MaskList) {
  // The text ends at its first NUL character, as the system's strings do.
  if (const size_t nul = MaskList.find(L'\0'); nul != std::wstring_view::npos)
    MaskList = MaskList.substr(0, nul);

  std::vector<std::wstring> masks;
  size_t p = 0;
  const size_t n = MaskList.size();
  while (p < n && IsBlankOrControl(MaskList[p])) ++p;
  while (p < n) {
    std::wstring item;
    if (MaskList[p] == L'"') {
      ++p;
      while (p < n) {
        if (MaskList[p] == L'"') {
          if (p + 1 < n && MaskList[p + 1] == L'"') {
            item += L'"';
            p += 2;
            continue;
          }
          ++p;  // the closing quote
          break;
        }
        item += MaskList[p++];
      }
    } else {
      const size_t start = p;
      while (p < n && !IsBlankOrControl(MaskList[p]) && MaskList[p] != L',') ++p;
      item.assign(MaskList.substr(start, p - start));
    }
    masks.push_back(std::move(item));
    while (p < n && IsBlankOrControl(MaskList[p])) ++p;
    if (p < n && MaskList[p] == L',') {
      if (p + 1 == n) masks.emplace_back();
      do ++p;
      while (p < n && IsBlankOrControl(MaskList[p]));
    }
  }
  return masks;
}

std::wstring WriteMaskList(const std::vector<std::wstring>& Masks) {
  std::wstring text;
  for (size_t i = 0; i < Masks.size(); ++i) {
    if (i) text += L',';
    const std::wstring& mask = Masks[i];
    bool quote = mask.empty();
    for (const wchar_t c : mask)
      if (c <= L' ' || c == L',' || c == L'"') quote = true;
    if (!quote) {
      text += mask;
      continue;
    }
    text += L'"';
    for (const wchar_t c : mask) {
      if (c == L'"') text += L'"';
      text += c;
    }
    text += L'"';
  }
  return text;
}

bool MatchesMaskList(std::wstring_view Name, std::wstring_view MaskList) {
  for (const auto& mask : ReadMaskList(MaskList))
    if (MaskMatches(Name, mask)) return true;
  return false;
}

std::wstring BuildMaskList(const std::vector<std::wstring>& Masks) {
  std::vector<std::wstring> kept;
  for (const auto& mask : Masks) {
    bool blank = true;
    for (const wchar_t c : mask)
      if (c > L' ') blank = false;
    if (!blank) kept.push_back(mask);
  }
  return WriteMaskList(kept);
}

std::wstring EscapeMaskText(std::wstring_view Text) {
  std::wstring escaped;
  escaped.reserve(Text.size());
  for (const wchar_t c : Text) {
    if (c == L'[')
      escaped += L"[[]";
    else
      escaped += c;
  }
  return escaped;
}

// TMaskList

TMaskList::TMaskList(std::wstring_view MaskList) {
  for (const auto& mask : ReadMaskList(MaskList)) {
    try {
      FMasks.emplace_back(mask);
    } catch (const Exception& error) {
      FInvalid = true;
      FInvalidMessage = error.Message();
      break;
    }
  }
  FAnyEnding = FInvalid;
  for (const auto& mask : FMasks) {
    const wchar_t last = mask.LastChar();
    if (last == 0 || last >= 128)
      FAnyEnding = true;
    else
      FEndings.set(std::size_t(last));
  }

  // The probe: the last position that every mask's literal start reaches. Names on one drive
  // share their first characters, so the later the position, the more names it tells apart.
  if (FInvalid || FMasks.empty()) return;
  size_t shortest = SIZE_MAX;
  for (const auto& mask : FMasks) shortest = std::min(shortest, mask.LiteralPrefix().size());
  if (shortest == 0) return;
  FProbePosition = shortest - 1;
  for (const auto& mask : FMasks) {
    const wchar_t c = mask.LiteralPrefix()[FProbePosition];
    if (c >= 128) return;
    FProbeChars.set(std::size_t(c));
  }
  FProbe = true;
}

}  // namespace dustmere
