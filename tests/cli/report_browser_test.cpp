// The HTML reports as a browser renders them: headless Chromium loads the LOT-A01 report, the
// demo batch report and a lot page it links to; the test reads the maps from the DOM, sorts the
// lots table, takes the screenshots that docs/ shows into the build tree and fails on any error
// the browser reports. Runs when VELMORA_TEST_CHROMIUM names the
// browser (make test-browser sets it); skips otherwise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "support/headless_chromium.hpp"
#include "support/temp_sqlite.hpp"

namespace {

namespace fs = std::filesystem;
using velmora::testing::HeadlessChromium;

// Where the reports and screenshots go: a folder of the build tree.
fs::path outputFolder() {
  const fs::path folder = fs::path(VELMORA_DEMO_HOME).parent_path() / "browser-test";
  fs::create_directories(folder);
  return folder;
}

int velmora(const std::string& args) {
  return std::system((std::string(VELMORA_CLI) + " " + args + " 2>/dev/null >/dev/null").c_str());
}

TEST(ReportInBrowser, ShowsEveryFindingOfLotA01AndRaisesNoError) {
  const char* chromium = std::getenv("VELMORA_TEST_CHROMIUM");
  if (chromium == nullptr || *chromium == '\0') {
    GTEST_SKIP() << "VELMORA_TEST_CHROMIUM is not set (make test-browser sets it)";
  }
  const fs::path out = outputFolder();
  const std::string home = std::string(" --home ") + VELMORA_DEMO_HOME;
  ASSERT_EQ(velmora("check --lot LOT-A01 --step S-FQC-100 --format html --output " +
                    (out / "lot-a01.html").string() + home),
            0);
  ASSERT_EQ(velmora("batch --input " + std::string(VELMORA_DEMO_SOURCE) + "/lots.csv --report " +
                    (out / "batch").string() + "/" + home),
            0);

  velmora::testing::TempFolder profile;
  HeadlessChromium browser(chromium, profile.path().string());

  browser.open("file://" + (out / "lot-a01.html").string(), 1280);
  const auto slots = browser.evaluate(
      "[...document.querySelectorAll('[data-wafer-seq]')]"
      ".map(e => [e.dataset.waferSeq, e.dataset.finding])");
  // The demo's LOT-A01: slot 3 has chart, comment, fail-count and inspection findings; 5 a
  // comment and a particle rate; 7 a comment only; 8 a scratch rate and a violation flag; 9 and
  // 15 chart findings only; 10 a bump rate; 14 a probe-mark rate, a fail reason and a flag;
  // 17 two defect rates; 24 a bump rate and the inspection wafer yield.
  const std::map<std::string, std::string> findings = {
      {"3", "several"}, {"5", "several"},  {"7", "comment"}, {"8", "several"}, {"9", "spc"},
      {"10", "defect"}, {"14", "several"}, {"15", "spc"},    {"17", "defect"}, {"24", "several"}};
  ASSERT_EQ(slots.size(), 25u) << slots.dump();
  for (int seq = 1; seq <= 25; ++seq) {
    const auto& slot = slots[static_cast<std::size_t>(seq - 1)];
    const auto expected = findings.find(std::to_string(seq));
    EXPECT_EQ(slot[0], std::to_string(seq));
    EXPECT_EQ(slot[1], expected == findings.end() ? "none" : expected->second) << "slot " << seq;
  }
  EXPECT_EQ(browser.evaluate("document.querySelectorAll('[data-legend]').length"), 6);
  EXPECT_EQ(browser.evaluate("document.querySelectorAll('table.records tr').length"), 14);
  // A finding with what it was judged against: the wafer's yield, the item's LSL.
  EXPECT_EQ(browser.evaluate("document.querySelector('table.records li[data-code=\"FQCIDT022\"] "
                             ".judged').textContent"),
            "91 against limit 93: wafer yield below lower limit (LSL)");
  // The two *Fail flags are the red ones; "ok" comes with what was found.
  EXPECT_EQ(browser.evaluate("[...document.querySelectorAll('.flag-fail-Y')].map(e => "
                             "e.dataset.flag).join()"),
            "IsEDCFail,IsAUGFail");
  EXPECT_EQ(browser.evaluate("document.querySelector('[data-result]').textContent"),
            "ok \u2014 13 findings and 11 lot reasons");
  const std::string shot = browser.screenshot(4000);
  ASSERT_GT(shot.size(), 1000u);
  EXPECT_EQ(shot.substr(0, 8), "\x89PNG\r\n\x1a\n");
  velmora::testing::writeText((out / "lot-a01.png").string(), shot);

  browser.open("file://" + (out / "batch" / "index.html").string(), 1280);
  // Every lot of the demo scenarios has a row; the 12 with findings link to their pages.
  EXPECT_EQ(browser.evaluate("document.querySelectorAll('table.lots tr[data-lot]').length"), 16);
  EXPECT_EQ(browser.evaluate("document.querySelectorAll('table.lots tr[data-lot] a').length"), 12);
  EXPECT_EQ(browser.evaluate("document.querySelector('.pareto .bar').dataset.code"), "OFC");
  // The stacked slot map: one cell per position; slots 4 and 10 fail in 3 of the 16 lots, slot 1
  // in none.
  EXPECT_EQ(browser.evaluate("[...document.querySelectorAll('[data-slot]')].map(e => "
                             "e.dataset.slot + ':' + e.dataset.lots).filter((e, i) => "
                             "[0, 3, 9].includes(i)).join()"),
            "1:0,4:3,10:3");
  // Sorting in the page: a click on "Records" orders the lots by it, fewest first (LOT-A01, with
  // the most, comes first by lot id), a second click the other way.
  const std::string sortByRecords =
      "(() => { [...document.querySelectorAll('table.lots th')].find(e => e.textContent === "
      "'Records').click(); const rows = document.querySelectorAll('table.lots tbody tr'); "
      "return rows[0].dataset.lot + ' ' + rows[rows.length - 1].dataset.lot; })()";
  EXPECT_EQ(browser.evaluate(sortByRecords), "LOT-A02 LOT-A01");
  EXPECT_EQ(browser.evaluate(sortByRecords), "LOT-A01 LOT-B02");
  velmora::testing::writeText((out / "batch.png").string(), browser.screenshot(4000));
  const std::string lotPage =
      browser.evaluate("document.querySelector('tr[data-lot=\"LOT-B01\"] a').href");
  EXPECT_TRUE(browser.errors().empty()) << nlohmann::json(browser.errors()).dump(2);

  // The batch page's link leads to the lot's page, which loads with its map.
  browser.open(lotPage, 1280);
  // LOT-B01's slot 11 has only the inspection wafer yield (translated at FQC: FQCIDT022).
  EXPECT_EQ(browser.evaluate("document.querySelector('[data-wafer-seq=\"11\"]').dataset.finding"),
            "yield");
  EXPECT_TRUE(browser.errors().empty()) << nlohmann::json(browser.errors()).dump(2);
}

}  // namespace
