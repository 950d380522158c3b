#include <gtest/gtest.h>

#include "tests/app/dialog/dialog_fixture.h"

namespace kestrava {
namespace {

using Ports = std::vector<WString>;

class PortComboTest : public DialogFixture {
 protected:
  void SetUp() override { Open(); }

  void Fill(const Ports& items, int selection) {
    host.ClearCombo(control::kPortList);
    for (const WString& item : items) host.AddComboItem(control::kPortList, item);
    host.SetComboSelection(control::kPortList, selection);
  }
  // LAN checked and read, without the radio's handler (which would refill the list itself).
  void ChooseLanQuietly() {
    host.SetRadioGroupPosition(control::kInterfaceFirst, kLanInterface);
    dialog->ExchangeControlData(true);
  }
};

struct RefreshCase {
  const char* what;
  Ports before;
  int selectionBefore;
  Ports ports;
  Ports after;
  int selectionAfter;
  const char16_t* portText;
};

TEST_F(PortComboTest, Table) {
  const RefreshCase cases[] = {
      {"same ports: box untouched, text of the selection",
       {u"USB001", u"USB002"},
       1,
       {u"USB002", u"USB001"},
       {u"USB001", u"USB002"},
       1,
       u"USB002"},
      {"a port added: the selection survives",
       {u"USB001"},
       0,
       {u"USB001", u"USB002"},
       {u"USB001", u"USB002"},
       0,
       u"USB001"},
      {"the selected port moved",
       {u"COM1", u"COM3", u"COM4"},
       1,
       {u"COM3", u"COM5", u"COM6"},
       {u"COM3", u"COM5", u"COM6"},
       0,
       u"COM3"},
      {"moved further down",
       {u"COM1", u"COM3"},
       0,
       {u"COM5", u"COM6", u"COM1"},
       {u"COM5", u"COM6", u"COM1"},
       2,
       u"COM1"},
      {"the selected port removed: the first is chosen",
       {u"COM1", u"COM3"},
       1,
       {u"COM1", u"COM4"},
       {u"COM1", u"COM4"},
       0,
       u"COM1"},
      {"no selection before", {u"COM1"}, -1, {u"COM2", u"COM3"}, {u"COM2", u"COM3"}, 0, u"COM2"},
      {"placeholder replaced", {u"NO USB"}, 0, {u"USB001"}, {u"USB001"}, 0, u"USB001"},
      {"names differ only in case", {u"com3"}, 0, {u"COM3"}, {u"COM3"}, 0, u"COM3"},
      {"nothing found: the placeholder alone",
       {u"USB001", u"USB002"},
       1,
       {},
       {u"NO USB"},
       0,
       u"NO USB"},
      {"two empty lists", {}, -1, {}, {u"NO USB"}, 0, u"NO USB"},
  };
  for (const RefreshCase& c : cases) {
    SCOPED_TRACE(c.what);
    Fill(c.before, c.selectionBefore);
    dialog->RefreshPortCombo(c.ports, u"NO USB");
    EXPECT_EQ(c.after, Items(control::kPortList));
    EXPECT_EQ(c.selectionAfter, Selection(control::kPortList));
    EXPECT_EQ(c.portText, dialog->portText);
  }
}

TEST_F(PortComboTest, LanDiscoveryRefreshesOnlyWhenLanIsChosen) {
  dialog->discoveredPrinters.Append(u"192.168.1.50");
  Fill({u"USB001"}, 0);
  host.PostUserMessage(0, 0);
  host.PumpPostedMessages();
  EXPECT_EQ(Ports{u"USB001"}, Items(control::kPortList)) << "USB chosen: nothing changes";

  ChooseLanQuietly();
  host.PostUserMessage(1, 0);
  host.PumpPostedMessages();
  EXPECT_EQ(Ports{u"USB001"}, Items(control::kPortList)) << "only wParam 0 counts";

  host.PostUserMessage(0, 0);
  host.PumpPostedMessages();
  EXPECT_EQ(Ports{u"192.168.1.50"}, Items(control::kPortList));
  EXPECT_EQ(u"192.168.1.50", Text(control::kPortTextCarrier));
}

TEST_F(PortComboTest, LanRefillSelectsTheKnownAddressButThePortTextStaysFirst) {
  ChooseLanQuietly();
  Fill({u"10.0.0.7", u"10.0.0.9"}, 1);
  for (const char16_t* address : {u"10.0.0.5", u"10.0.0.9", u"10.0.0.7"}) {
    dialog->discoveredPrinters.Append(address);
  }
  host.PostUserMessage(0, 0);
  host.PumpPostedMessages();
  EXPECT_EQ((Ports{u"10.0.0.5", u"10.0.0.9", u"10.0.0.7"}), Items(control::kPortList));
  EXPECT_EQ(1, Selection(control::kPortList));
  EXPECT_EQ(u"10.0.0.5", dialog->portText);
}

TEST_F(PortComboTest, EmptyDiscoveryShowsSearchingIp) {
  ChooseLanQuietly();
  Fill({u"10.0.0.7"}, 0);
  host.PostUserMessage(0, 0);
  host.PumpPostedMessages();
  EXPECT_EQ(Ports{u"Searching IP"}, Items(control::kPortList));
  EXPECT_EQ(0, Selection(control::kPortList));
  EXPECT_EQ(u"Searching IP", dialog->portText);
}

}  // namespace
}  // namespace kestrava
