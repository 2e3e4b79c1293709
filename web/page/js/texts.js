// The program's own texts, word for word, and the page's.
export const kLoadError = 'Could not load file. Make sure the file is valid and not locked.';
export const kDropNotDataFile =
  'Only TEV USB data files (*.tev) can be opened. Drop a .tev file on the window to show its flight.';
export const kReadingData = 'Reading data...';
export const kDataReadFailed = 'Failed to read data.';
export const kDataRead = 'Data read successfully.';
export const kAttemptingToConnect = 'Attempting to connect to device.';
export const kSaveError =
  'Error saving file. Make sure that it is not write protected or locked, and that the disk has enough space.';
export const kCsvError =
  'Failed to save the CSV file. Make sure that it is not write protected or locked, and that the disk has enough space.';
// The warnings of the settings operations, by their string ids.
export const kWarnings = {
  110: 'Please enter your aproximate MSL altitude and try again.',
  111: 'The inhibit setting is very large. Please make sure that it is the correct setting.',
  112: 'One or both of the ejection lines are disabled. Make sure this is correct.',
};
export const kConnectBattery =
  'You may now connect the battery to the device if you want a real time launch. Click OK when connected or ignore.';
export const packetReadLine = (i) => `Packet Read: ${i}`;
export const packetsReadLine = (n) => `Packets Read: ${n}`;
export const saveIncompleteQuestion = (set) =>
  `Data set ${set + 1} may be incomplete: the download stopped before its end. Save it anyway?`;

export const kNoWebHid =
  'This browser cannot reach USB devices: WebHID is missing. Open this page in Chrome, Edge or ' +
  'Opera (version 89 or later, on Windows, macOS, Linux or ChromeOS) to connect the altimeter. ' +
  'Opening and viewing .tev files works here.';
export const kOpenWhileBusy = 'The altimeter is busy. Open the file again once it has finished.';
export const kUnplugged = 'The altimeter was unplugged.';
export const kVendorId = 0x1209;
export const kApplicationProductId = 0x0002;
