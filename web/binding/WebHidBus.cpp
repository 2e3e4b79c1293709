#include "web/binding/WebHidBus.h"

#include <emscripten.h>

#include <cstdlib>
#include <string>

#include "device/DeviceIds.h"
#include "model/Versions.h"

namespace {

// Device ids as the JavaScript side numbers them, one line each; the caller frees the text.
EM_JS(char*, tev_hid_list, (), {
  const text = Module.tevHid.list().join("\n");
  const size = lengthBytesUTF8(text) + 1;
  const ptr = _malloc(size);
  stringToUTF8(text, ptr, size);
  return ptr;
});

EM_JS(int, tev_hid_attributes, (int id, int* vendor, int* product), {
  const a = Module.tevHid.attributes(id);
  if (!a) return 0;
  HEAP32[vendor >> 2] = a.vendorId;
  HEAP32[product >> 2] = a.productId;
  return 1;
});

EM_ASYNC_JS(int, tev_hid_open, (int id), {
  return (await Module.tevHid.open(id)) ? 1 : 0;
});

EM_JS(void, tev_hid_close, (int id), { Module.tevHid.close(id); });

EM_ASYNC_JS(int, tev_hid_write, (int id, const std::uint8_t* data, int length, int timeoutMs), {
  const bytes = HEAPU8.slice(data, data + length);
  return (await Module.tevHid.write(id, bytes, timeoutMs)) ? 1 : 0;
});

EM_ASYNC_JS(int, tev_hid_read, (int id, std::uint8_t* buffer, int length, int timeoutMs), {
  const report = await Module.tevHid.read(id, timeoutMs);
  if (!report) return 0;
  // The heap may have grown while we waited: take the view afresh.
  const heap = Module.HEAPU8;
  heap.fill(0, buffer, buffer + length);
  heap.set(report.subarray(0, length), buffer);
  return 1;
});

EM_JS(void, tev_hid_discard, (int id), { Module.tevHid.discard(id); });

EM_ASYNC_JS(void, tev_hid_sleep, (int ms), {
  await new Promise((resolve) => setTimeout(resolve, ms));
});

constexpr wchar_t kPathPrefix[] = L"webhid#";
constexpr std::size_t kPrefixLength = sizeof(kPathPrefix) / sizeof(wchar_t) - 1;

int IdOf(const std::wstring& path) {
  if (path.compare(0, kPrefixLength, kPathPrefix) != 0) return -1;
  int id = 0;
  for (std::size_t i = kPrefixLength; i < path.size(); ++i) {
    if (path[i] < L'0' || path[i] > L'9' || id > 100000000) return -1;
    id = id * 10 + (path[i] - L'0');
  }
  return path.size() > kPrefixLength ? id : -1;
}

// Both handles of a device share its one WebHID connection; the low bit tells them apart.
tev::HidHandle Handle(int id, bool writing) { return static_cast<tev::HidHandle>(id) * 2 + (writing ? 1 : 0); }
int IdOfHandle(tev::HidHandle handle) { return static_cast<int>(handle / 2); }

}  // namespace

namespace tev {

std::vector<std::wstring> WebHidBus::EnumerateInterfaces() {
  char* list = tev_hid_list();
  const std::string text = list;
  std::free(list);
  std::vector<std::wstring> paths;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string id = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    paths.push_back(kPathPrefix + std::wstring(id.begin(), id.end()));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return paths;
}

std::optional<HidAttributes> WebHidBus::ReadAttributes(const std::wstring& path) {
  const int id = IdOf(path);
  int vendor = 0, product = 0;
  if (id < 0 || !tev_hid_attributes(id, &vendor, &product)) return std::nullopt;
  HidAttributes attributes;
  attributes.VendorID = static_cast<std::uint16_t>(vendor);
  attributes.ProductID = static_cast<std::uint16_t>(product);
  // WebHID does not tell a device's release number: take it to be the one this program is made for.
  attributes.VersionNumber = product == kBootloaderProductId ? kBootloaderVersion : kFirmwareVersion;
  return attributes;
}

HidHandle WebHidBus::OpenForReading(const std::wstring& path) {
  const int id = IdOf(path);
  return id >= 0 && tev_hid_open(id) ? Handle(id, false) : kInvalidHidHandle;
}

HidHandle WebHidBus::OpenForWriting(const std::wstring& path) {
  const int id = IdOf(path);
  return id >= 0 && tev_hid_open(id) ? Handle(id, true) : kInvalidHidHandle;
}

void WebHidBus::Close(HidHandle handle) {
  if (handle != kInvalidHidHandle) tev_hid_close(IdOfHandle(handle));
}

bool WebHidBus::WriteReport(HidHandle handle, const std::uint8_t* data, std::size_t length, std::uint32_t timeoutMs) {
  if (handle == kInvalidHidHandle || length == 0) return false;
  return tev_hid_write(IdOfHandle(handle), data, static_cast<int>(length), static_cast<int>(timeoutMs)) != 0;
}

bool WebHidBus::ReadReport(HidHandle handle, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) {
  if (handle == kInvalidHidHandle) return false;
  return tev_hid_read(IdOfHandle(handle), buffer, static_cast<int>(length), static_cast<int>(timeoutMs)) != 0;
}

void WebHidBus::DiscardInput(HidHandle handle) {
  if (handle != kInvalidHidHandle) tev_hid_discard(IdOfHandle(handle));
}

void WebHidBus::Sleep(std::uint32_t ms) { tev_hid_sleep(static_cast<int>(ms)); }

}  // namespace tev
