#include "navaid/csv_table.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "base/text_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quarn {
namespace {

constexpr std::size_t kBlock = 64;

// The quotes and commas of up to 64 bytes, one bit a byte. 16 bytes a step with
// SSE2, which every x86-64 has; a short tail is copied into a zeroed block first.
struct BlockMasks {
  std::uint64_t quotes = 0;
  std::uint64_t commas = 0;
};

BlockMasks Classify(const char* bytes, std::size_t size) {
  char padded[kBlock];
  if (size < kBlock) {
    std::memset(padded, 0, kBlock);
    std::memcpy(padded, bytes, size);
    bytes = padded;
  }
  BlockMasks m;
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i comma = _mm_set1_epi8(',');
  for (std::size_t k = 0; k < kBlock; k += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k));
    const auto q = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, quote)));
    const auto c = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, comma)));
    m.quotes |= static_cast<std::uint64_t>(q) << k;
    m.commas |= static_cast<std::uint64_t>(c) << k;
  }
#else
  for (std::size_t k = 0; k < kBlock; ++k) {
    if (bytes[k] == '"') m.quotes |= std::uint64_t{1} << k;
    if (bytes[k] == ',') m.commas |= std::uint64_t{1} << k;
  }
#endif
  return m;
}

// Bit k: whether an odd number of quotes stands at or before byte k, that is, whether
// byte k lies inside a quoted stretch (an opening quote counting as inside, its
// closing quote not).
std::uint64_t PrefixXor(std::uint64_t x) {
  x ^= x << 1;
  x ^= x << 2;
  x ^= x << 4;
  x ^= x << 8;
  x ^= x << 16;
  x ^= x << 32;
  return x;
}

// The set bits of x. Without a popcount instruction in the baseline x86-64, the
// library's own count is a call; this is a few inline steps.
int CountBits(std::uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555ULL);
  x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

}  // namespace

CsvHeader::CsvHeader(std::span<const std::string_view> names) {
  names_.reserve(names.size());
  for (const std::string_view name : names) {
    std::string lower(TrimBlanks(name));
    for (char& c : lower) c = LowerAscii(c);
    names_.push_back(std::move(lower));
  }
}

int CsvHeader::Find(std::string_view name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (EqualIgnoringCase(names_[i], name)) return static_cast<int>(i);
  }
  return -1;
}

CsvReader::CsvReader(std::string_view text) : lines_(text) {}

CsvReader CsvReader::Within(std::string_view part) {
  return CsvReader(LineCursor::Within(part, 0));
}

CsvReader::Status CsvReader::Next() {
  std::string_view line;
  do {
    if (!lines_.Next(line)) return Status::End;
  } while (TrimBlanks(line).empty());
  line_ = lines_.number();
  StartRecord();
  if (SplitLine(line)) {
    PlaceScratchFields();
    return Status::Record;
  }
  // A quoted field runs over the line break: take the following lines while the
  // quote stays open, and the record only when it then has the header's fields.
  const LineCursor afterFirst = lines_;
  std::string_view more;
  for (int count = 1; count < kMaxRecordLines; ++count) {
    if (!lines_.Next(more)) {
      ranOutInQuote_ = true;
      break;
    }
    if (!SplitLine(more)) continue;
    if (expectedFields_ == 0 || fields_.size() == expectedFields_) {
      PlaceScratchFields();
      return Status::Record;
    }
    break;
  }
  lines_ = afterFirst;
  StartRecord();
  return Status::UnclosedQuote;
}

void CsvReader::StartRecord() {
  fields_.clear();
  scratch_.clear();
  scratchFields_.clear();
  pending_.clear();
  inQuote_ = false;
}

bool CsvReader::SplitLine(std::string_view line) {
  const std::size_t n = line.size();
  // The field that a quote carried over the line break goes on here.
  continuing_ = inQuote_;
  if (continuing_) pending_.push_back(' ');
  std::size_t fieldStart = 0;
  int quotesBeforeField = 0;  // quotes of the line before fieldStart
  int quotesBeforeBlock = 0;
  std::uint64_t inside = inQuote_ ? ~std::uint64_t{0} : 0;  // all ones: the block starts quoted
  for (std::size_t base = 0; base < n; base += kBlock) {
    const BlockMasks m = Classify(line.data() + base, std::min(kBlock, n - base));
    const std::uint64_t quoted = PrefixXor(m.quotes) ^ inside;
    inside = static_cast<std::uint64_t>(static_cast<std::int64_t>(quoted) >> 63);
    // Commas outside quotes end fields.
    for (std::uint64_t ends = m.commas & ~quoted; ends != 0; ends &= ends - 1) {
      const int k = std::countr_zero(ends);
      const int quotesBeforeEnd =
          quotesBeforeBlock + CountBits(m.quotes & ((std::uint64_t{1} << k) - 1));
      const std::size_t end = base + static_cast<std::size_t>(k);
      EndField(line.substr(fieldStart, end - fieldStart), quotesBeforeEnd - quotesBeforeField);
      fieldStart = end + 1;
      quotesBeforeField = quotesBeforeEnd;
    }
    quotesBeforeBlock += CountBits(m.quotes);
  }
  if (inside != 0) {
    pending_.append(line.substr(fieldStart));
    inQuote_ = true;
    return false;
  }
  inQuote_ = false;
  EndField(line.substr(fieldStart), quotesBeforeBlock - quotesBeforeField);
  return true;
}

void CsvReader::EndField(std::string_view raw, int quotes) {
  if (continuing_) {
    // The field began on an earlier line: its text is gathered in pending_.
    continuing_ = false;
    pending_.append(raw);
    Unquote(pending_);
    pending_.clear();
  } else if (quotes == 0) {
    fields_.push_back(raw);
  } else if (quotes == 2 && raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
    fields_.push_back(raw.substr(1, raw.size() - 2));
  } else {
    Unquote(raw);
  }
}

void CsvReader::Unquote(std::string_view raw) {
  // Quotes open and close quoted stretches; two quotes within one stand for a quote.
  const std::size_t begin = scratch_.size();
  bool quoted = false;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '"') {
      scratch_.push_back(raw[i]);
    } else if (quoted && i + 1 < raw.size() && raw[i + 1] == '"') {
      scratch_.push_back('"');
      ++i;
    } else {
      quoted = !quoted;
    }
  }
  scratchFields_.push_back({fields_.size(), begin, scratch_.size() - begin});
  fields_.emplace_back();
}

void CsvReader::PlaceScratchFields() {
  for (const ScratchField& f : scratchFields_) {
    fields_[f.index] = std::string_view(scratch_).substr(f.begin, f.size);
  }
}

std::string FieldExcerpt(std::string_view field) {
  constexpr std::size_t kMaxBytes = 40;
  std::size_t size = std::min(field.size(), kMaxBytes);
  // Not in the middle of a UTF-8 sequence.
  if (size < field.size()) {
    while (size > 0 && (static_cast<unsigned char>(field[size]) & 0xC0) == 0x80) --size;
  }
  std::string text(field.substr(0, size));
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  if (size < field.size()) text += "...";
  return text;
}

}  // namespace quarn
