#include "model/WidePath.h"

namespace tev {

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    // wchar_t is UTF-16 on Windows: join surrogate pairs; a lone surrogate becomes U+FFFD.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
      ++i;
    } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {

constexpr bool kWideIsUtf32 = sizeof(wchar_t) == 4;

// The byte a PathBytesToWide code point stands for, or -1.
int KeptByte(wchar_t c) {
  if constexpr (kWideIsUtf32) {
    if (static_cast<char32_t>(c) >= 0xDC80 && static_cast<char32_t>(c) <= 0xDCFF) return static_cast<int>(c - 0xDC00);
  }
  return -1;
}

std::wstring DecodeUtf8(std::string_view text, bool keepBadBytes) {
  std::wstring out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    char32_t c = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = extra >= 0;
    if (valid) {
      for (int k = 1; k <= extra; ++k) {
        if (i + k >= text.size()) {
          valid = false;
          break;
        }
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
          valid = false;
          break;
        }
        c = (c << 6) | (next & 0x3F);
      }
    }
    // Overlong forms are malformed too: each byte sequence has one reading, so bytes kept for a
    // path come back exactly.
    const bool overlong = (extra == 1 && c < 0x80) || (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
    if (!valid || overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      // A malformed byte: replaced (or kept for a path) and resynchronised after it.
      out += static_cast<wchar_t>(keepBadBytes && kWideIsUtf32 && lead >= 0x80 ? 0xDC00 + lead : 0xFFFD);
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    if constexpr (sizeof(wchar_t) == 2) {
      if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        continue;
      }
    }
    out += static_cast<wchar_t>(c);
  }
  return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) { return DecodeUtf8(text, false); }

std::wstring PathBytesToWide(std::string_view bytes) { return DecodeUtf8(bytes, true); }

namespace {

// The path in UTF-8, each byte kept by PathBytesToWide given as spell(byte).
template <class Spell>
std::string Spelt(std::wstring_view path, Spell spell) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && KeptByte(path[i]) < 0) continue;
    out += WideToUtf8(path.substr(from, i - from));
    if (i < path.size()) out += spell(KeptByte(path[i]));
    from = i + 1;
  }
  return out;
}

}  // namespace

std::string PathForDisplay(std::wstring_view path) {
  return Spelt(path, [](int byte) {
    static const char kHex[] = "0123456789abcdef";
    return std::string{'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
  });
}

std::filesystem::path ToFsPath(const std::wstring& path) {
#ifdef _WIN32
  return std::filesystem::path(path);
#else
  const std::string bytes = Spelt(path, [](int byte) { return std::string(1, static_cast<char>(byte)); });
  return std::filesystem::path(bytes);
#endif
}

UniqueFile OpenFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wideMode;
  for (const char* m = mode; *m; ++m) wideMode += static_cast<wchar_t>(*m);
  return UniqueFile(_wfopen(path.c_str(), wideMode.c_str()));
#else
  return UniqueFile(std::fopen(path.c_str(), mode));
#endif
}

}  // namespace tev
