#pragma once
// The floor of the text readers' benchmarks: a file's bytes read into memory and
// their line ends found, which any reader of the file must at least do.

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace quarn::bench {

inline std::size_t ReadAndFindLineEnds(const std::string& path) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return 0;
  std::fseek(in, 0, SEEK_END);
  const long size = std::ftell(in);
  std::fseek(in, 0, SEEK_SET);
  std::vector<char> bytes(static_cast<std::size_t>(size));
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), in);
  std::fclose(in);
  std::size_t lines = 0;
  const char* p = bytes.data();
  const char* end = p + got;
  while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))))) {
    ++lines;
    ++p;
  }
  return lines;
}

}  // namespace quarn::bench
