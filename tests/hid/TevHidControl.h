/* What the virtual HID device's driver and its user-mode client agree on: the device's parameters
   (DWORD values in the instance's "Device Parameters" key, read when the device is added) and the
   control device through which the client feeds input reports and collects output reports.
   Shared by kernel-mode C and user-mode C++. */
#pragma once

/* Parameter names. ReportLength counts the report id byte, as the program's reports do. */
#define TEVHID_PARAM_VENDOR L"VendorId"
#define TEVHID_PARAM_PRODUCT L"ProductId"
#define TEVHID_PARAM_VERSION L"Version"
#define TEVHID_PARAM_REPORT_LENGTH L"ReportLength"
#define TEVHID_PARAM_CONTROL L"ControlId"

/* \\.\TevHidControl<ControlId>, one per plugged device. */
#define TEVHID_CONTROL_DEVICE L"\\Device\\TevHidControl"
#define TEVHID_CONTROL_LINK L"\\DosDevices\\TevHidControl"
#define TEVHID_CONTROL_USER L"\\\\.\\TevHidControl"

#define TEVHID_MAX_REPORT 65

/* A device type from the range left to vendors, so that the driver tells its control devices
   from the class driver's own devices on the same driver object. */
#define TEVHID_DEVICE_TYPE 0x8a37

/* In: one input report, id byte first. Completes at once (queued when nobody reads yet). */
#define IOCTL_TEVHID_INPUT CTL_CODE(TEVHID_DEVICE_TYPE, 0x800, METHOD_BUFFERED, FILE_ANY_ACCESS)
/* Out: the next output report the host wrote, id byte first; pends until there is one. */
#define IOCTL_TEVHID_OUTPUT CTL_CODE(TEVHID_DEVICE_TYPE, 0x801, METHOD_BUFFERED, FILE_ANY_ACCESS)
