#pragma once
// A length written for 100 % (96 DPI) at another DPI, rounded to the nearest pixel (halves away
// from zero), so that at 96 DPI nothing changes. The portable twin of win32::ScaleToDpi, for the
// arithmetic that the dialogs keep testable.
namespace tev {

inline constexpr unsigned kDesignDpi = 96;

constexpr int ScaledLength(int length, unsigned dpi) {
  const long long product = static_cast<long long>(length) * dpi;
  const long long half = kDesignDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

}  // namespace tev
