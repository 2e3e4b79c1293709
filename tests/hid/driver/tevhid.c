/* A virtual HID device for tests: a root-enumerated HID minidriver whose reports come from and go
   to a user-mode client. Each plugged instance takes its vendor id, product id, version and report
   length from its "Device Parameters" key and gets a control device of its own, through which the
   client feeds input reports (they complete the class driver's pending read) and collects output
   reports (what the host wrote). It knows nothing of the altimeter: it is a pipe.
   Never shipped; built only for the tests. */
#include <ddk/wdm.h>

#include "HidMinidriver.h"
#include "../TevHidControl.h"

#define QUEUE_LENGTH 512

typedef struct {
  UCHAR length; /* without the id byte */
  UCHAR data[TEVHID_MAX_REPORT - 1];
} QueuedReport;

typedef struct {
  QueuedReport reports[QUEUE_LENGTH];
  ULONG head;
  ULONG count;
} ReportQueue;

/* The minidriver's part of the class driver's device extension. */
typedef struct {
  DEVICE_OBJECT *control;
  KSPIN_LOCK lock; /* guards everything below */
  BOOLEAN removed;
  HID_DEVICE_ATTRIBUTES attributes;
  ULONG reportLength; /* with the id byte */
  UCHAR descriptor[32];
  ULONG descriptorLength;
  LIST_ENTRY pendingReads;   /* the class driver's READ_REPORT requests */
  LIST_ENTRY pendingOutputs; /* the client's OUTPUT requests */
  ReportQueue input;         /* fed, not yet read */
  ReportQueue output;        /* written, not yet collected */
} VirtualDevice;

typedef struct {
  VirtualDevice *device; /* null once the device is removed */
  UNICODE_STRING link;
  WCHAR linkBuffer[64];
} ControlExtension;

static KSPIN_LOCK controlLock; /* guards ControlExtension.device */
static PDRIVER_DISPATCH classDispatch[IRP_MJ_MAXIMUM_FUNCTION + 1];

static VirtualDevice *FromFdo(DEVICE_OBJECT *fdo) {
  return ((HID_DEVICE_EXTENSION *)fdo->DeviceExtension)->MiniDeviceExtension;
}

static DEVICE_OBJECT *LowerDevice(DEVICE_OBJECT *fdo) {
  return ((HID_DEVICE_EXTENSION *)fdo->DeviceExtension)->NextDeviceObject;
}

static NTSTATUS Complete(IRP *irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static void QueuePush(ReportQueue *queue, const UCHAR *data, ULONG length) {
  ULONG slot;
  if (queue->count == QUEUE_LENGTH) { /* full: the oldest goes, as a full HID queue drops it */
    queue->head = (queue->head + 1) % QUEUE_LENGTH;
    --queue->count;
  }
  slot = (queue->head + queue->count) % QUEUE_LENGTH;
  queue->reports[slot].length = (UCHAR)length;
  RtlCopyMemory(queue->reports[slot].data, data, length);
  ++queue->count;
}

static BOOLEAN QueuePop(ReportQueue *queue, QueuedReport *report) {
  if (!queue->count) return FALSE;
  *report = queue->reports[queue->head];
  queue->head = (queue->head + 1) % QUEUE_LENGTH;
  --queue->count;
  return TRUE;
}

/* Pending requests: a cancel routine on each, and the usual handshake so that a request is
   completed exactly once, by whoever takes it off its list first. Called with device->lock held. */
static IRP *TakePending(LIST_ENTRY *list) {
  while (!IsListEmpty(list)) {
    LIST_ENTRY *entry = RemoveHeadList(list);
    IRP *irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
    InitializeListHead(entry);
    if (IoSetCancelRoutine(irp, NULL)) return irp;
    /* Its cancel routine is running and will complete it. */
  }
  return NULL;
}

static void CancelPending(VirtualDevice *device, IRP *irp) {
  KIRQL irql;
  IoReleaseCancelSpinLock(irp->CancelIrql);
  KeAcquireSpinLock(&device->lock, &irql);
  RemoveEntryList(&irp->Tail.Overlay.ListEntry);
  InitializeListHead(&irp->Tail.Overlay.ListEntry);
  KeReleaseSpinLock(&device->lock, irql);
  Complete(irp, STATUS_CANCELLED, 0);
}

static void NTAPI CancelRead(DEVICE_OBJECT *fdo, IRP *irp) { CancelPending(FromFdo(fdo), irp); }

static void NTAPI CancelOutputWait(DEVICE_OBJECT *control, IRP *irp) {
  ControlExtension *ext = control->DeviceExtension;
  /* The request was queued while the device was there; it is taken off before the device goes. */
  CancelPending(ext->device, irp);
}

/* Queues a request with its cancel routine; false when it was cancelled already. Lock held. */
static BOOLEAN Pend(LIST_ENTRY *list, IRP *irp, PDRIVER_CANCEL cancel) {
  IoSetCancelRoutine(irp, cancel);
  if (irp->Cancel && IoSetCancelRoutine(irp, NULL)) return FALSE;
  IoMarkIrpPending(irp);
  InsertTailList(list, &irp->Tail.Overlay.ListEntry);
  return TRUE;
}

static ULONG CopyInputReport(IRP *irp, const QueuedReport *report) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
  ULONG length = report->length < room ? report->length : room;
  RtlCopyMemory(irp->UserBuffer, report->data, length);
  return length;
}

static ULONG CopyOutputReport(IRP *irp, const QueuedReport *report) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  UCHAR *buffer = irp->AssociatedIrp.SystemBuffer;
  ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
  ULONG length = report->length + 1u;
  if (room < length) return 0;
  buffer[0] = 0; /* the report id: the device's reports have none */
  RtlCopyMemory(buffer + 1, report->data, report->length);
  return length;
}

/* --- The class driver's requests --------------------------------------------------------------- */

static void BuildDescriptor(VirtualDevice *device) {
  /* A vendor-defined collection with one input and one output report of reportLength - 1 bytes
     and no report id, as the altimeter has. */
  const UCHAR count = (UCHAR)(device->reportLength - 1);
  const UCHAR descriptor[] = {
      0x06, 0x00, 0xff,        /* Usage Page (vendor defined) */
      0x09, 0x01,              /* Usage (1) */
      0xa1, 0x01,              /* Collection (Application) */
      0x15, 0x00,              /*   Logical Minimum (0) */
      0x26, 0xff, 0x00,        /*   Logical Maximum (255) */
      0x75, 0x08,              /*   Report Size (8) */
      0x95, count, 0x09, 0x01, /*   Report Count, Usage (1) */
      0x81, 0x02,              /*   Input (Data, Variable, Absolute) */
      0x95, count, 0x09, 0x01, /*   Report Count, Usage (1) */
      0x91, 0x02,              /*   Output (Data, Variable, Absolute) */
      0xc0,                    /* End Collection */
  };
  RtlCopyMemory(device->descriptor, descriptor, sizeof descriptor);
  device->descriptorLength = sizeof descriptor;
}

static NTSTATUS ReadReport(VirtualDevice *device, DEVICE_OBJECT *fdo, IRP *irp) {
  QueuedReport report;
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  if (device->removed) {
    KeReleaseSpinLock(&device->lock, irql);
    return Complete(irp, STATUS_DELETE_PENDING, 0);
  }
  if (QueuePop(&device->input, &report)) {
    KeReleaseSpinLock(&device->lock, irql);
    return Complete(irp, STATUS_SUCCESS, CopyInputReport(irp, &report));
  }
  (void)fdo;
  if (!Pend(&device->pendingReads, irp, CancelRead)) {
    KeReleaseSpinLock(&device->lock, irql);
    return Complete(irp, STATUS_CANCELLED, 0);
  }
  KeReleaseSpinLock(&device->lock, irql);
  return STATUS_PENDING;
}

static NTSTATUS WriteReport(VirtualDevice *device, IRP *irp) {
  const HID_XFER_PACKET *packet = irp->UserBuffer;
  QueuedReport report;
  IRP *waiting;
  ULONG length;
  KIRQL irql;
  if (!packet || !packet->reportBuffer) return Complete(irp, STATUS_INVALID_PARAMETER, 0);
  length = packet->reportBufferLen;
  if (length > TEVHID_MAX_REPORT - 1) return Complete(irp, STATUS_INVALID_BUFFER_SIZE, 0);
  report.length = (UCHAR)length;
  RtlCopyMemory(report.data, packet->reportBuffer, length);
  KeAcquireSpinLock(&device->lock, &irql);
  if (device->removed) {
    KeReleaseSpinLock(&device->lock, irql);
    return Complete(irp, STATUS_DELETE_PENDING, 0);
  }
  waiting = TakePending(&device->pendingOutputs);
  if (!waiting) QueuePush(&device->output, report.data, report.length);
  KeReleaseSpinLock(&device->lock, irql);
  if (waiting) Complete(waiting, STATUS_SUCCESS, CopyOutputReport(waiting, &report));
  return Complete(irp, STATUS_SUCCESS, length);
}

static NTSTATUS NTAPI InternalDeviceControl(DEVICE_OBJECT *fdo, IRP *irp) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  VirtualDevice *device = FromFdo(fdo);
  const ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
  switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_HID_GET_DEVICE_DESCRIPTOR: {
      HID_DESCRIPTOR *descriptor = irp->UserBuffer;
      if (room < sizeof *descriptor) return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
      RtlZeroMemory(descriptor, sizeof *descriptor);
      descriptor->bLength = sizeof *descriptor;
      descriptor->bDescriptorType = HID_HID_DESCRIPTOR_TYPE;
      descriptor->bcdHID = 0x0111;
      descriptor->bNumDescriptors = 1;
      descriptor->DescriptorList[0].bReportType = HID_REPORT_DESCRIPTOR_TYPE;
      descriptor->DescriptorList[0].wReportLength = (USHORT)device->descriptorLength;
      return Complete(irp, STATUS_SUCCESS, sizeof *descriptor);
    }
    case IOCTL_HID_GET_REPORT_DESCRIPTOR:
      if (room < device->descriptorLength) return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
      RtlCopyMemory(irp->UserBuffer, device->descriptor, device->descriptorLength);
      return Complete(irp, STATUS_SUCCESS, device->descriptorLength);
    case IOCTL_HID_GET_DEVICE_ATTRIBUTES:
      if (room < sizeof device->attributes) return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
      RtlCopyMemory(irp->UserBuffer, &device->attributes, sizeof device->attributes);
      return Complete(irp, STATUS_SUCCESS, sizeof device->attributes);
    case IOCTL_HID_READ_REPORT:
      return ReadReport(device, fdo, irp);
    case IOCTL_HID_WRITE_REPORT:
      return WriteReport(device, irp);
    case IOCTL_HID_ACTIVATE_DEVICE:
    case IOCTL_HID_DEACTIVATE_DEVICE:
      return Complete(irp, STATUS_SUCCESS, 0);
    default: /* strings, features, get/set report: the altimeter has none */
      return Complete(irp, STATUS_NOT_SUPPORTED, 0);
  }
}

/* --- The client's control device ------------------------------------------------------------- */

static VirtualDevice *ControlledDevice(DEVICE_OBJECT *control, KIRQL *irql) {
  ControlExtension *ext = control->DeviceExtension;
  VirtualDevice *device;
  KeAcquireSpinLock(&controlLock, irql);
  device = ext->device;
  if (!device) {
    KeReleaseSpinLock(&controlLock, *irql);
    return NULL;
  }
  /* Lock order: controlLock, then the device's. */
  KeAcquireSpinLockAtDpcLevel(&device->lock);
  return device;
}

static void ReleaseControlled(VirtualDevice *device, KIRQL irql) {
  KeReleaseSpinLockFromDpcLevel(&device->lock);
  KeReleaseSpinLock(&controlLock, irql);
}

static NTSTATUS FeedInput(DEVICE_OBJECT *control, IRP *irp) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  const UCHAR *data = irp->AssociatedIrp.SystemBuffer;
  const ULONG length = stack->Parameters.DeviceIoControl.InputBufferLength;
  QueuedReport report;
  VirtualDevice *device;
  IRP *read;
  KIRQL irql;
  if (length < 1 || length > TEVHID_MAX_REPORT) return Complete(irp, STATUS_INVALID_BUFFER_SIZE, 0);
  report.length = (UCHAR)(length - 1); /* the id byte is not part of what the class driver reads */
  RtlCopyMemory(report.data, data + 1, report.length);
  device = ControlledDevice(control, &irql);
  if (!device) return Complete(irp, STATUS_DEVICE_REMOVED, 0);
  read = TakePending(&device->pendingReads);
  if (!read) QueuePush(&device->input, report.data, report.length);
  ReleaseControlled(device, irql);
  if (read) Complete(read, STATUS_SUCCESS, CopyInputReport(read, &report));
  return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS CollectOutput(DEVICE_OBJECT *control, IRP *irp) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  QueuedReport report;
  VirtualDevice *device;
  BOOLEAN have, queued = FALSE;
  KIRQL irql;
  if (stack->Parameters.DeviceIoControl.OutputBufferLength < TEVHID_MAX_REPORT) {
    return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
  }
  device = ControlledDevice(control, &irql);
  if (!device) return Complete(irp, STATUS_DEVICE_REMOVED, 0);
  have = QueuePop(&device->output, &report);
  if (!have) queued = Pend(&device->pendingOutputs, irp, CancelOutputWait);
  ReleaseControlled(device, irql);
  if (have) return Complete(irp, STATUS_SUCCESS, CopyOutputReport(irp, &report));
  return queued ? STATUS_PENDING : Complete(irp, STATUS_CANCELLED, 0);
}

/* The class driver owns the driver object's dispatch table; requests to a control device are
   this driver's own, everything else goes to the class driver's handler as before. */
static NTSTATUS NTAPI Dispatch(DEVICE_OBJECT *device, IRP *irp) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  if (device->DeviceType != TEVHID_DEVICE_TYPE) return classDispatch[stack->MajorFunction](device, irp);
  switch (stack->MajorFunction) {
    case IRP_MJ_CREATE:
    case IRP_MJ_CLEANUP:
    case IRP_MJ_CLOSE:
      return Complete(irp, STATUS_SUCCESS, 0);
    case IRP_MJ_DEVICE_CONTROL:
      switch (stack->Parameters.DeviceIoControl.IoControlCode) {
        case IOCTL_TEVHID_INPUT:
          return FeedInput(device, irp);
        case IOCTL_TEVHID_OUTPUT:
          return CollectOutput(device, irp);
        default:
          break;
      }
      break;
    default:
      break;
  }
  return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
}

/* --- Plug and play ------------------------------------------------------------------------------ */

static ULONG ReadParameter(HANDLE key, const WCHAR *name, ULONG fallback) {
  UCHAR buffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ULONG)];
  KEY_VALUE_PARTIAL_INFORMATION *info = (KEY_VALUE_PARTIAL_INFORMATION *)buffer;
  UNICODE_STRING valueName;
  ULONG size = 0;
  RtlInitUnicodeString(&valueName, name);
  if (ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, info, sizeof buffer, &size) != STATUS_SUCCESS ||
      info->Type != REG_DWORD || info->DataLength != sizeof(ULONG)) {
    return fallback;
  }
  return *(const ULONG *)info->Data;
}

static void AppendNumber(UNICODE_STRING *text, ULONG number) {
  WCHAR digits[12];
  int n = 0;
  do {
    digits[n++] = (WCHAR)(L'0' + number % 10);
    number /= 10;
  } while (number);
  while (n && text->Length + sizeof(WCHAR) <= text->MaximumLength) {
    text->Buffer[text->Length / sizeof(WCHAR)] = digits[--n];
    text->Length += sizeof(WCHAR);
  }
}

static NTSTATUS CreateControl(DRIVER_OBJECT *driver, VirtualDevice *device, ULONG id) {
  WCHAR nameBuffer[64];
  UNICODE_STRING name = {0, sizeof nameBuffer, nameBuffer};
  ControlExtension *ext;
  DEVICE_OBJECT *control;
  NTSTATUS status;
  RtlAppendUnicodeToString(&name, TEVHID_CONTROL_DEVICE);
  AppendNumber(&name, id);
  status = IoCreateDevice(driver, sizeof(ControlExtension), &name, TEVHID_DEVICE_TYPE, 0, FALSE, &control);
  if (status != STATUS_SUCCESS) return status;
  ext = control->DeviceExtension;
  ext->device = device;
  ext->link.Buffer = ext->linkBuffer;
  ext->link.Length = 0;
  ext->link.MaximumLength = sizeof ext->linkBuffer;
  RtlAppendUnicodeToString(&ext->link, TEVHID_CONTROL_LINK);
  AppendNumber(&ext->link, id);
  status = IoCreateSymbolicLink(&ext->link, &name);
  if (status != STATUS_SUCCESS) {
    IoDeleteDevice(control);
    return status;
  }
  control->Flags |= DO_BUFFERED_IO;
  control->Flags &= ~DO_DEVICE_INITIALIZING;
  device->control = control;
  return STATUS_SUCCESS;
}

static NTSTATUS NTAPI AddDevice(DRIVER_OBJECT *driver, DEVICE_OBJECT *fdo) {
  HID_DEVICE_EXTENSION *hid = fdo->DeviceExtension;
  VirtualDevice *device = hid->MiniDeviceExtension;
  HANDLE key;
  ULONG controlId;
  NTSTATUS status;

  RtlZeroMemory(device, sizeof *device);
  KeInitializeSpinLock(&device->lock);
  InitializeListHead(&device->pendingReads);
  InitializeListHead(&device->pendingOutputs);
  status = IoOpenDeviceRegistryKey(hid->PhysicalDeviceObject, PLUGPLAY_REGKEY_DEVICE, KEY_READ, &key);
  if (status != STATUS_SUCCESS) return status;
  device->attributes.Size = sizeof device->attributes;
  device->attributes.VendorID = (USHORT)ReadParameter(key, TEVHID_PARAM_VENDOR, 0);
  device->attributes.ProductID = (USHORT)ReadParameter(key, TEVHID_PARAM_PRODUCT, 0);
  device->attributes.VersionNumber = (USHORT)ReadParameter(key, TEVHID_PARAM_VERSION, 0);
  device->reportLength = ReadParameter(key, TEVHID_PARAM_REPORT_LENGTH, 0);
  controlId = ReadParameter(key, TEVHID_PARAM_CONTROL, 0);
  ZwClose(key);
  if (device->reportLength < 2 || device->reportLength > TEVHID_MAX_REPORT) return STATUS_INVALID_PARAMETER;
  BuildDescriptor(device);

  status = CreateControl(driver, device, controlId);
  if (status != STATUS_SUCCESS) return status;
  fdo->Flags &= ~DO_DEVICE_INITIALIZING;
  return STATUS_SUCCESS;
}

/* The device is going: every pending request ends, the control device goes with it. */
static void Remove(VirtualDevice *device) {
  ControlExtension *ext;
  IRP *irp;
  KIRQL irql;
  KeAcquireSpinLock(&controlLock, &irql);
  KeAcquireSpinLockAtDpcLevel(&device->lock);
  device->removed = TRUE;
  ext = device->control ? device->control->DeviceExtension : NULL;
  if (ext) ext->device = NULL;
  KeReleaseSpinLockFromDpcLevel(&device->lock);
  KeReleaseSpinLock(&controlLock, irql);
  for (;;) {
    KeAcquireSpinLock(&device->lock, &irql);
    irp = TakePending(&device->pendingReads);
    if (!irp) irp = TakePending(&device->pendingOutputs);
    KeReleaseSpinLock(&device->lock, irql);
    if (!irp) break;
    Complete(irp, STATUS_DELETE_PENDING, 0);
  }
}

static void DeleteControl(VirtualDevice *device) {
  ControlExtension *ext;
  if (!device->control) return;
  ext = device->control->DeviceExtension;
  IoDeleteSymbolicLink(&ext->link);
  IoDeleteDevice(device->control);
  device->control = NULL;
}

static NTSTATUS NTAPI Pnp(DEVICE_OBJECT *fdo, IRP *irp) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  VirtualDevice *device = FromFdo(fdo);
  switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
    case IRP_MN_STOP_DEVICE:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
      irp->IoStatus.Status = STATUS_SUCCESS;
      break;
    case IRP_MN_SURPRISE_REMOVAL:
      Remove(device);
      irp->IoStatus.Status = STATUS_SUCCESS;
      break;
    case IRP_MN_REMOVE_DEVICE:
      Remove(device);
      DeleteControl(device);
      irp->IoStatus.Status = STATUS_SUCCESS;
      break;
    default:
      break;
  }
  IoSkipCurrentIrpStackLocation(irp);
  return IoCallDriver(LowerDevice(fdo), irp);
}

static NTSTATUS NTAPI Power(DEVICE_OBJECT *fdo, IRP *irp) {
  PoStartNextPowerIrp(irp);
  IoSkipCurrentIrpStackLocation(irp);
  return PoCallDriver(LowerDevice(fdo), irp);
}

NTSTATUS NTAPI DriverEntry(DRIVER_OBJECT *driver, UNICODE_STRING *registryPath) {
  HID_MINIDRIVER_REGISTRATION registration;
  NTSTATUS status;
  int major;

  KeInitializeSpinLock(&controlLock);
  driver->DriverExtension->AddDevice = AddDevice;
  driver->MajorFunction[IRP_MJ_PNP] = Pnp;
  driver->MajorFunction[IRP_MJ_POWER] = Power;
  driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = InternalDeviceControl;

  RtlZeroMemory(&registration, sizeof registration);
  registration.Revision = HID_REVISION;
  registration.DriverObject = driver;
  registration.RegistryPath = registryPath;
  registration.DeviceExtensionSize = sizeof(VirtualDevice);
  registration.DevicesArePolled = FALSE;
  status = HidRegisterMinidriver(&registration);
  if (status != STATUS_SUCCESS) return status;

  for (major = 0; major <= IRP_MJ_MAXIMUM_FUNCTION; ++major) {
    classDispatch[major] = driver->MajorFunction[major];
    driver->MajorFunction[major] = Dispatch;
  }
  return STATUS_SUCCESS;
}
