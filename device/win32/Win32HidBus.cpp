#include "device/win32/Win32HidBus.h"

#include <setupapi.h>
extern "C" {
#include <hidsdi.h>  // declares its functions without C linkage
}

#include <vector>

#include "win32/DeviceInfoList.h"
#include "win32/Guards.h"

namespace tev::win32 {
namespace {

// Far more than any machine has; only a guard against an enumeration that never ends.
constexpr DWORD kMaxInterfaces = 4096;

// The list is taken afresh for every index, so a device that comes or goes during the search
// shifts the indexes rather than leaving a stale list.
std::optional<std::wstring> InterfacePathByIndex(DWORD index) {
  GUID guid = HidInterfaceClass();
  UniqueDeviceInfoList list(::SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!list) return std::nullopt;
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  if (!::SetupDiEnumDeviceInterfaces(list.Get(), nullptr, &guid, index, &data)) return std::nullopt;
  DWORD size = 0;
  ::SetupDiGetDeviceInterfaceDetailW(list.Get(), &data, nullptr, 0, &size, nullptr);
  if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return std::nullopt;
  std::vector<DWORD> storage(size / sizeof(DWORD) + 1);  // DWORD-aligned, as the record needs
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  if (!::SetupDiGetDeviceInterfaceDetailW(list.Get(), &data, detail, size, nullptr, nullptr)) return std::nullopt;
  return std::wstring(detail->DevicePath);
}

}  // namespace

GUID HidInterfaceClass() {
  GUID guid;
  ::HidD_GetHidGuid(&guid);
  return guid;
}

struct Win32HidBus::OpenFile {
  UniqueFileHandle file;
  UniqueKernelHandle event;
  OVERLAPPED overlapped{};
  std::mutex transfer;  // one transfer at a time per handle: the OVERLAPPED is reused
};

Win32HidBus::~Win32HidBus() {
  std::lock_guard lock(mutex_);
  for (auto& [id, file] : open_) ::CancelIoEx(file->file.Get(), nullptr);
  open_.clear();
}

std::vector<std::wstring> Win32HidBus::EnumerateInterfaces() {
  std::vector<std::wstring> paths;
  for (DWORD n = 0; n < kMaxInterfaces; ++n) {
    std::optional<std::wstring> path = InterfacePathByIndex(n);
    if (!path) break;
    paths.push_back(std::move(*path));
  }
  return paths;
}

std::optional<HidAttributes> Win32HidBus::ReadAttributes(const std::wstring& path) {
  UniqueFileHandle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
  if (!file) return std::nullopt;
  HIDD_ATTRIBUTES raw{};
  raw.Size = sizeof raw;
  if (!::HidD_GetAttributes(file.Get(), &raw)) return std::nullopt;
  HidAttributes attrs;
  attrs.Size = raw.Size;
  attrs.VendorID = raw.VendorID;
  attrs.ProductID = raw.ProductID;
  attrs.VersionNumber = raw.VersionNumber;
  return attrs;
}

// Each handle shares exactly the access the other one needs: the two can be open together while
// a third program wanting either access is refused.
HidHandle Win32HidBus::OpenForReading(const std::wstring& path) {
  const HidHandle handle = Open(path, GENERIC_READ, FILE_SHARE_WRITE);
  // Refused by an old driver: the default queue still works, only with less slack.
  if (std::shared_ptr<OpenFile> file = Find(handle)) ::HidD_SetNumInputBuffers(file->file.Get(), kInputReportBuffers);
  return handle;
}

HidHandle Win32HidBus::OpenForWriting(const std::wstring& path) { return Open(path, GENERIC_WRITE, FILE_SHARE_READ); }

HidHandle Win32HidBus::Open(const std::wstring& path, DWORD access, DWORD share) {
  auto file = std::make_shared<OpenFile>();
  file->file.Reset(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  if (!file->file) return kInvalidHidHandle;
  file->event.Reset(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
  if (!file->event) return kInvalidHidHandle;
  std::lock_guard lock(mutex_);
  const HidHandle handle = nextHandle_++;
  open_[handle] = std::move(file);
  return handle;
}

void Win32HidBus::Close(HidHandle handle) {
  std::shared_ptr<OpenFile> file;
  {
    std::lock_guard lock(mutex_);
    auto it = open_.find(handle);
    if (it == open_.end()) return;
    file = std::move(it->second);
    open_.erase(it);
  }
  // A transfer still running on another thread ends now; it holds the record until it has.
  ::CancelIoEx(file->file.Get(), nullptr);
}

void Win32HidBus::DiscardInput(HidHandle handle) {
  if (std::shared_ptr<OpenFile> file = Find(handle)) ::HidD_FlushQueue(file->file.Get());
}

std::shared_ptr<Win32HidBus::OpenFile> Win32HidBus::Find(HidHandle handle) {
  std::lock_guard lock(mutex_);
  auto it = open_.find(handle);
  return it == open_.end() ? nullptr : it->second;
}

bool Win32HidBus::WriteReport(HidHandle handle, const std::uint8_t* data, std::size_t length,
                              std::uint32_t timeoutMs) {
  return Transfer(handle, data, nullptr, length, timeoutMs);
}

bool Win32HidBus::ReadReport(HidHandle handle, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) {
  return Transfer(handle, nullptr, buffer, length, timeoutMs);
}

bool Win32HidBus::Transfer(HidHandle handle, const std::uint8_t* out, std::uint8_t* in, std::size_t length,
                           std::uint32_t timeoutMs) {
  std::shared_ptr<OpenFile> f = Find(handle);
  if (!f) return false;
  std::lock_guard busy(f->transfer);
  HANDLE file = f->file.Get();
  OVERLAPPED& ov = f->overlapped;
  ov = OVERLAPPED{};
  // ReadFile and WriteFile reset the event themselves as they start.
  ov.hEvent = f->event.Get();

  const DWORD bytes = static_cast<DWORD>(length);
  const BOOL started = out ? ::WriteFile(file, out, bytes, nullptr, &ov) : ::ReadFile(file, in, bytes, nullptr, &ov);
  // Neither done nor under way: the transfer failed to start.
  if (!started && ::GetLastError() != ERROR_IO_PENDING) return false;

  DWORD done = 0;
  // Done at once (a report the driver had queued): nothing to wait for. During a download most
  // reads end so, and each wait saved is a call into the system per report.
  if (started) return ::GetOverlappedResult(file, &ov, &done, FALSE) != FALSE;
  if (::WaitForSingleObject(ov.hEvent, timeoutMs) != WAIT_OBJECT_0) {
    // Cancelled, and its end awaited, before the caller may reuse the buffer. One that completed
    // in the meantime still counts: its report is in the buffer and would otherwise be lost.
    ::CancelIoEx(file, &ov);
    return ::GetOverlappedResult(file, &ov, &done, TRUE) != FALSE;
  }
  // The event says only that the transfer ended; its own result says whether it worked.
  return ::GetOverlappedResult(file, &ov, &done, FALSE) != FALSE;
}

void Win32HidBus::Sleep(std::uint32_t ms) { ::Sleep(ms); }

}  // namespace tev::win32
