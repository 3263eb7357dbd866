#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "pages/CommonPageModel.h"

using namespace lanterna;
using namespace lanterna::test;

namespace {

tIdentification Device() {
  tIdentification id;
  id.orderNumber = "750-352";
  id.description = "ETHERNET FBC";
  id.softwareVersion = "01.07.05(07)";
  id.hardwareVersion = "03";
  id.fwlVersion = "01";
  id.serialNumber = "ERR: Serial number not read!";
  id.networkId = "00:30:DE:01:02:03";
  id.ipAddress = "192.168.1.17";
  return id;
}

void Read(CCommonPageModel& page) {
  std::vector<std::uint16_t> none;
  Load(page, none, true);
}

}  // namespace

TEST(CommonPage, RowsAndExportFollowTheIdentification) {
  CCommonPageModel page;
  page.SetIdentificationTexts(Device());
  Read(page);
  ASSERT_EQ(page.Rows().size(), 8u);
  EXPECT_EQ(page.Rows()[0], (CCommonPageModel::Row{"Item Number   ", "750-352", false}));
  EXPECT_EQ(page.Rows()[5], (CCommonPageModel::Row{"Serial Number ", "Serial number not read!", true}));
  EXPECT_EQ(page.ExportText(),
            "Item Number   = 750-352\r\n"
            "Description   = ETHERNET FBC\r\n"
            "SW Version    = 01.07.05(07)\r\n"
            "HW Version    = 03\r\n"
            "FWL Version   = 01\r\n"
            "Serial Number = Serial number not read!\r\n"
            "MAC Address   = 00:30:DE:01:02:03\r\n"
            "IP-Address    = 192.168.1.17\r\n");
  EXPECT_TRUE(page.OffersContextMenu());
}

TEST(CommonPage, EveryErrorMarkIsRemoved) {
  tIdentification id = Device();
  id.description = "ERR: first ERR: second";
  CCommonPageModel page;
  page.SetIdentificationTexts(id);
  Read(page);
  EXPECT_EQ(page.Rows()[1].value, "first second");
  EXPECT_TRUE(page.Rows()[1].error);
  EXPECT_FALSE(page.Rows()[2].error);
}

TEST(CommonPage, EmptyTextsStillGiveEightLines) {
  CCommonPageModel page;
  page.SetIdentificationTexts(tIdentification{});
  Read(page);
  EXPECT_EQ(page.Rows().size(), 8u);
  EXPECT_EQ(page.ExportText().substr(0, 18), "Item Number   = \r\n");
  EXPECT_EQ(page.ExportText().size(), 8u * 18);
  EXPECT_TRUE(page.OffersContextMenu());
}

TEST(CommonPage, BeforeTheFirstReadThereIsNothingToExport) {
  CCommonPageModel page;
  page.SetIdentificationTexts(Device());
  EXPECT_TRUE(page.Rows().empty());
  EXPECT_FALSE(page.OffersContextMenu());
}

TEST(CommonPage, AStateLineGivesWayToTheRowsWhenDone) {
  CCommonPageModel page;
  page.SetIdentificationTexts(Device());
  page.ShowState(CCommonPageModel::kStateInProgress, "Please wait, connected device will be identified ...");
  ASSERT_TRUE(page.State());
  EXPECT_EQ(page.State()->image, 1);
  EXPECT_FALSE(page.State()->red);

  page.ShowState(CCommonPageModel::kStateFailed, "Connecting device failed!");
  EXPECT_EQ(page.State()->image, 3);
  EXPECT_TRUE(page.State()->red);
  EXPECT_EQ(page.State()->text, "Connecting device failed!");

  page.ShowState(7, "ignored");
  EXPECT_EQ(page.State()->text, "");

  page.ShowState(CCommonPageModel::kStateDone, "");
  EXPECT_FALSE(page.State());
  EXPECT_EQ(page.Rows().size(), 8u);
}
