#include "ui/logic/SettingsEntries.h"

#include <gtest/gtest.h>

#include "tests/support/LogCapture.h"

namespace tev {
namespace {

SettingsEntries Defaults() {
  LogCapture quiet;  // the record's defaults are packed, with diagnostics
  return EntriesFromSettings(DeviceSettings{});
}

TEST(SettingsEntries, TheDefaultsShowApogeeAltitudeFifteenSecondsOneHundredFiftyMetresAndTwoSeconds) {
  const SettingsEntries e = Defaults();
  EXPECT_EQ(e.lineA.mode, LineMode::Apogee);
  EXPECT_EQ(e.lineB.mode, LineMode::Altitude);
  for (const LineEntries* line : {&e.lineA, &e.lineB}) {
    EXPECT_EQ(line->timeText, L"15");
    EXPECT_EQ(line->altitudeText, L"150");
  }
  EXPECT_EQ(e.inhibitText, L"2");
}

TEST(SettingsEntries, AModeOutsideTheFourChecksNoRadio) {
  LogCapture quiet;
  DeviceSettings s;
  s.lineBMode = static_cast<LineMode>(7);
  s.lineBValue = 1234;
  const SettingsEntries e = EntriesFromSettings(s);
  EXPECT_FALSE(e.lineB.mode.has_value());
  EXPECT_EQ(e.lineB.timeText, L"123") << "whole seconds";
  EXPECT_EQ(e.lineB.altitudeText, L"1234");
}

TEST(SettingsEntries, EachModeUsesItsOwnEdit) {
  EXPECT_FALSE(EditsFor(LineMode::Disabled).time || EditsFor(LineMode::Disabled).altitude);
  EXPECT_FALSE(EditsFor(LineMode::Apogee).time || EditsFor(LineMode::Apogee).altitude);
  EXPECT_TRUE(EditsFor(LineMode::Time).time && !EditsFor(LineMode::Time).altitude);
  EXPECT_TRUE(!EditsFor(LineMode::Altitude).time && EditsFor(LineMode::Altitude).altitude);
}

TEST(SettingsEntries, EntriesGoIntoTheRecordByMode) {
  struct Case {
    const char* name;
    std::optional<LineMode> mode;
    std::uint16_t value;  // lineAValue afterwards (150 before)
    LineMode stored;
  };
  const Case cases[] = {
      {"Time: seconds in tenths", LineMode::Time, 70, LineMode::Time},
      {"Altitude: metres", LineMode::Altitude, 321, LineMode::Altitude},
      {"Apogee keeps the value", LineMode::Apogee, 150, LineMode::Apogee},
      {"Disabled keeps the value", LineMode::Disabled, 150, LineMode::Disabled},
      {"no radio keeps mode and value", std::nullopt, 150, LineMode::Apogee},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LogCapture quiet;
    DeviceSettings s;
    SettingsEntries e = Defaults();
    e.lineA = {c.mode, L"7", L"321"};
    EntriesToSettings(e, s);
    EXPECT_EQ(s.lineAMode, c.stored);
    EXPECT_EQ(s.lineAValue, c.value);
  }
}

TEST(SettingsEntries, FifteenSecondsInTimeIsWrittenAs150AndShowsAs150InTheAltEdit) {
  LogCapture quiet;
  DeviceSettings s;
  SettingsEntries e = Defaults();
  e.lineB = {LineMode::Time, L"15", L"999"};
  EntriesToSettings(e, s);
  EXPECT_EQ(s.lineBValue, 150);
  s.Pack();
  ASSERT_TRUE(s.Parse());
  EXPECT_EQ(EntriesFromSettings(s).lineB.altitudeText, L"150");
  EXPECT_EQ(EntriesFromSettings(s).lineB.timeText, L"15");
}

TEST(SettingsEntries, WarnsOfAnInhibitAboveTwentySecondsAndOfADisabledLine) {
  struct Case {
    const wchar_t* inhibit;
    std::optional<LineMode> a, b;
    bool large, disabled;
    std::uint16_t tenths;
  };
  const Case cases[] = {
      {L"20", LineMode::Apogee, LineMode::Altitude, false, false, 200},
      {L"21", LineMode::Apogee, LineMode::Altitude, true, false, 210},
      {L"2", LineMode::Disabled, LineMode::Altitude, false, true, 20},
      {L"2", LineMode::Apogee, LineMode::Disabled, false, true, 20},
      {L"30", LineMode::Disabled, LineMode::Disabled, true, true, 300},
      {L"", LineMode::Time, LineMode::Time, false, false, 0},
      {L"x1", LineMode::Time, LineMode::Time, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case with " << c.tenths << " tenths");
    LogCapture quiet;
    DeviceSettings s;
    SettingsEntries e = Defaults();
    e.inhibitText = c.inhibit;
    e.lineA.mode = c.a;
    e.lineB.mode = c.b;
    const SettingsWarnings w = EntriesToSettings(e, s);
    EXPECT_EQ(w.inhibitLarge, c.large);
    EXPECT_EQ(w.lineDisabled, c.disabled);
    EXPECT_EQ(s.inhibitTenths, c.tenths);
  }
}

TEST(SettingsEntries, EntriesTooLargeForTheDeviceAreRefusedByName) {
  struct Case {
    const char* name;
    LineEntries a, b;
    const wchar_t* inhibit;
    std::optional<std::wstring> refusal;
  };
  const std::wstring nothing = L" Nothing was written.\r\n";
  const Case cases[] = {
      {"largest that fit", {LineMode::Time, L"6553", L""}, {LineMode::Altitude, L"", L"65535"}, L"6553", std::nullopt},
      {"time 6554 s", {LineMode::Time, L"6554", L"1"}, {LineMode::Apogee, L"", L""}, L"2",
       L"Line A Time [s] is too large: the device holds at most 6553 s." + nothing},
      {"altitude 65536 m", {LineMode::Apogee, L"", L""}, {LineMode::Altitude, L"1", L"65536"}, L"2",
       L"Line B Alt [m AGL] is too large: the device holds at most 65535 m." + nothing},
      {"inhibit 6554 s", {LineMode::Apogee, L"", L""}, {LineMode::Apogee, L"", L""}, L"6554",
       L"Inhibit [s] is too large: the device holds at most 6553 s." + nothing},
      {"beyond 32 bits", {LineMode::Time, L"99999999999999999999", L""}, {LineMode::Apogee, L"", L""}, L"2",
       L"Line A Time [s] is too large: the device holds at most 6553 s." + nothing},
      {"the edit the mode does not read", {LineMode::Altitude, L"7000", L"100"}, {LineMode::Disabled, L"7000", L"70000"},
       L"2", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsEntries e{c.a, c.b, c.inhibit};
    EXPECT_EQ(RefuseEntries(e), c.refusal);
  }
}

// Each entry in each edit a write reads: whatever is not a number is refused by name, never
// written as 0; a typed 0 is a number. The edit a mode does not read stays free.
TEST(SettingsEntries, AnEntryThatIsNotANumberIsRefusedWhereItIsRead) {
  const struct {
    const wchar_t* text;
    bool number;
  } entries[] = {
      {L"", false},    {L"abc", false},          {L"-5", false},
      {L"12.5", false}, {L" 12", false},         {L"1e3", false},
      {L"\u0661\u0662", false} /* Arabic-Indic 12 */, {L"\uFF11\uFF12", false} /* fullwidth 12 */,
      {L"0", true},    {L"100", true},
  };
  const std::wstring nothing = L" Nothing was written.\r\n";
  const LineEntries unread = {LineMode::Apogee, L"x", L"x"};
  for (const auto& entry : entries) {
    const struct {
      const char* where;
      SettingsEntries entries;
      std::wstring refusal;
    } places[] = {
        {"Line A Time", {{LineMode::Time, entry.text, L"x"}, unread, L"2"},
         L"Line A Time [s] is not a number: enter whole seconds in digits." + nothing},
        {"Line B Alt", {unread, {LineMode::Altitude, L"x", entry.text}, L"2"},
         L"Line B Alt [m AGL] is not a number: enter whole metres in digits." + nothing},
        {"Inhibit", {unread, unread, entry.text}, L"Inhibit [s] is not a number: enter whole seconds in digits." + nothing},
    };
    for (const auto& place : places) {
      SCOPED_TRACE(::testing::Message() << place.where << " holding \"" << ::testing::PrintToString(std::wstring(entry.text))
                                        << "\"");
      EXPECT_EQ(RefuseEntries(place.entries), entry.number ? std::nullopt : std::optional(place.refusal));
    }
  }
  // Line B is looked at after Line A, and an unread edit's text is never judged.
  SettingsEntries both = {{LineMode::Time, L"", L"x"}, {LineMode::Time, L"", L"x"}, L""};
  EXPECT_EQ(RefuseEntries(both), L"Line A Time [s] is not a number: enter whole seconds in digits." + nothing);
  both.lineA = {LineMode::Disabled, L"", L""};
  EXPECT_EQ(RefuseEntries(both), L"Line B Time [s] is not a number: enter whole seconds in digits." + nothing);
}

TEST(SettingsEntries, EditNumbersAreUnsignedDecimalsAndAnythingElseIsZero) {
  EXPECT_EQ(ReadEditNumber(L"0150"), 150u);
  EXPECT_EQ(ReadEditNumber(L""), 0u);
  EXPECT_EQ(ReadEditNumber(L"-5"), 0u);
  EXPECT_EQ(ReadEditNumber(L"1 2"), 0u);
  EXPECT_EQ(ReadEditNumber(L"4294967296"), 4294967295u);
}

TEST(SettingsEntries, AGroundAltitudeIsANumberBelowTheTopOfTheConversion) {
  EXPECT_EQ(ReadGroundAltitude(L"100"), 100u);
  EXPECT_EQ(ReadGroundAltitude(L"0"), 0u);
  EXPECT_EQ(ReadGroundAltitude(L"44329"), 44329u);
  EXPECT_EQ(ReadGroundAltitude(L"44330"), std::nullopt);
  EXPECT_EQ(ReadGroundAltitude(L"99999999999"), std::nullopt);
  EXPECT_EQ(ReadGroundAltitude(L""), std::nullopt);
  EXPECT_EQ(ReadGroundAltitude(L"1e3"), std::nullopt);
}

}  // namespace
}  // namespace tev
