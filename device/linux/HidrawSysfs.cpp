#include "device/linux/HidrawSysfs.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <system_error>

#include "device/linux/UniqueFd.h"
#include "model/UnsignedNumber.h"

namespace tev::hidraw {
namespace {

namespace fs = std::filesystem;

// sysfs attributes are a page at most.
constexpr std::size_t kMaxAttribute = 4096;
// The HID device sits on a USB interface, which sits on the USB device: two steps up.
constexpr int kUsbDeviceSearchDepth = 3;

std::optional<std::string> ReadAttribute(const fs::path& file) {
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return std::nullopt;
  std::string text(kMaxAttribute, '\0');
  std::size_t used = 0;
  while (used < text.size()) {
    const ssize_t n = ::read(fd.Get(), text.data() + used, text.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  text.resize(used);
  return text;
}

std::optional<std::uint32_t> ParseHex(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

std::optional<std::uint16_t> ParseHex16(std::string_view text, std::size_t maxDigits) {
  const std::optional<std::uint32_t> value = ParseHex(text, maxDigits);
  if (!value || *value > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(*value);
}

// The value of KEY=value in a uevent file.
std::optional<std::string_view> UeventValue(std::string_view uevent, std::string_view key) {
  while (!uevent.empty()) {
    const std::size_t end = std::min(uevent.find('\n'), uevent.size());
    const std::string_view line = uevent.substr(0, end);
    if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=')
      return line.substr(key.size() + 1);
    uevent.remove_prefix(std::min(end + 1, uevent.size()));
  }
  return std::nullopt;
}

// HID_ID=BBBB:VVVVVVVV:PPPPPPPP, in hexadecimal.
bool ParseHidId(std::string_view id, HidrawInterface& out) {
  const std::size_t first = id.find(':');
  const std::size_t second = first == std::string_view::npos ? first : id.find(':', first + 1);
  if (second == std::string_view::npos) return false;
  const auto bus = ParseHex16(id.substr(0, first), 4);
  const auto vendor = ParseHex16(id.substr(first + 1, second - first - 1), 8);
  const auto product = ParseHex16(id.substr(second + 1), 8);
  if (!bus || !vendor || !product) return false;
  out.bus = *bus;
  out.vendorId = *vendor;
  out.productId = *product;
  return true;
}

std::optional<std::uint16_t> ReadUsbVersion(const fs::path& sysfsRoot, const fs::path& hidDevice) {
  fs::path folder = hidDevice;
  for (int step = 0; step < kUsbDeviceSearchDepth && folder.has_parent_path(); ++step) {
    folder = folder.parent_path();
    // Never look above the tree this bus was given.
    const auto rel = folder.lexically_relative(sysfsRoot);
    if (rel.empty() || *rel.begin() == "..") break;
    if (std::optional<std::string> text = ReadAttribute(folder / "bcdDevice")) {
      std::string_view digits = *text;
      while (!digits.empty() && (digits.back() == '\n' || digits.back() == ' ')) digits.remove_suffix(1);
      return ParseHex16(digits, 4);
    }
  }
  return std::nullopt;
}

// hidrawN -> N; nullopt for any other name.
std::optional<unsigned> NodeNumber(std::string_view name) {
  constexpr std::string_view kPrefix = "hidraw";
  if (name.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  const auto n = ReadUnsigned(name.substr(kPrefix.size()), 999999);
  if (!n) return std::nullopt;
  return static_cast<unsigned>(*n);
}

std::optional<HidrawInterface> ReadInterface(const fs::path& sysfsRoot, const std::string& name) {
  std::error_code ec;
  const fs::path root = fs::canonical(sysfsRoot, ec);
  if (ec) return std::nullopt;
  const fs::path own = fs::canonical(sysfsRoot / "class" / "hidraw" / name, ec);
  if (ec) return std::nullopt;
  const fs::path hidDevice = fs::canonical(own / "device", ec);
  if (ec) return std::nullopt;
  const std::optional<std::string> uevent = ReadAttribute(hidDevice / "uevent");
  if (!uevent) return std::nullopt;
  const std::optional<std::string_view> id = UeventValue(*uevent, "HID_ID");
  HidrawInterface found;
  if (!id || !ParseHidId(*id, found)) return std::nullopt;
  found.path = own.string();
  found.node = "/dev/" + name;
  if (found.bus == kBusUsb) found.version = ReadUsbVersion(root, hidDevice);
  found.serial = std::string(UeventValue(*uevent, "HID_UNIQ").value_or(""));
  return found;
}

}  // namespace

std::vector<HidrawInterface> ScanHidraw(const fs::path& sysfsRoot) {
  std::vector<std::pair<unsigned, std::string>> names;
  std::error_code ec;
  for (fs::directory_iterator it(sysfsRoot / "class" / "hidraw", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (const std::optional<unsigned> n = NodeNumber(name)) names.emplace_back(*n, name);
  }
  std::sort(names.begin(), names.end());
  std::vector<HidrawInterface> found;
  for (const auto& [n, name] : names) {
    if (std::optional<HidrawInterface> one = ReadInterface(sysfsRoot, name)) found.push_back(std::move(*one));
  }
  return found;
}

std::optional<HidrawInterface> FindHidraw(const fs::path& sysfsRoot, const std::string& path) {
  const std::string name = fs::path(path).filename().string();
  if (!NodeNumber(name)) return std::nullopt;
  std::optional<HidrawInterface> found = ReadInterface(sysfsRoot, name);
  // The number may have gone to another device since: only the same plug-in counts.
  if (!found || found->path != path) return std::nullopt;
  return found;
}

}  // namespace tev::hidraw
