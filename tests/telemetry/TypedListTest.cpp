#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/Errors.h"
#include "telemetry/LogReader.h"

namespace {

LiveRecord WithRpm(double rpm, double time = 0) {
  LiveRecord r{};
  r[kTime] = time;
  r[kRPM] = rpm;
  return r;
}

std::vector<double> Rpms(const TEFILogList& list) {
  std::vector<double> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list[i][kRPM]);
  return out;
}

}  // namespace

TEST(TEFILogList, KeepsOrderAndDuplicatesByDefault) {
  TEFILogList list;
  for (double rpm : {900.0, 800.0, 900.0}) list.Add(WithRpm(rpm));
  EXPECT_EQ(Rpms(list), (std::vector<double>{900, 800, 900}));
  list.SortField = kRPM;
  EXPECT_EQ(list.IndexOf(WithRpm(900, 5)), 0);  // the first match, compared on RPM only
  EXPECT_EQ(list.IndexOf(WithRpm(700)), -1);
}

TEST(TEFILogList, SortedListsStayOrderedAndSearchByHalves) {
  std::mt19937 random(3);
  for (uint8_t order : {1, 2}) {
    for (int round = 0; round < 200; ++round) {
      TEFILogList list;
      list.SortField = kRPM;
      list.SortOrder = order;
      const int n = 1 + static_cast<int>(random() % 40);
      for (int i = 0; i < n; ++i) list.Add(WithRpm(static_cast<double>(random() % 10)));
      std::vector<double> rpms = Rpms(list);
      if (order == 1)
        ASSERT_TRUE(std::is_sorted(rpms.begin(), rpms.end()));
      else
        ASSERT_TRUE(std::is_sorted(rpms.rbegin(), rpms.rend()));
      for (double v = 0; v < 10; ++v) {
        const int at = list.IndexOf(WithRpm(v));
        if (std::find(rpms.begin(), rpms.end(), v) == rpms.end())
          EXPECT_EQ(at, -1);
        else
          EXPECT_EQ(list[at][kRPM], v);
      }
    }
  }
}

TEST(TEFILogList, DuplicatePolicies) {
  TEFILogList list;
  list.SortField = kRPM;
  list.DuplicatePolicy = 0;
  list.Add(WithRpm(1));
  list.Add(WithRpm(1));
  EXPECT_EQ(list.Count(), 1);
  // Refusing a duplicate is a list error, which Add answers by rolling the list.
  list.DuplicatePolicy = 2;
  list.Add(WithRpm(2));
  list.Add(WithRpm(1, 7));
  EXPECT_EQ(Rpms(list), (std::vector<double>{2, 1}));
  EXPECT_EQ(list[1][kTime], 7);
}

TEST(TEFILogList, ListErrorNamesTheClass) {
  TEFILogList list;
  try {
    list.Items(0);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "TEFILogList:\r\nList Operation Error.");
  }
  EXPECT_THROW(list.PutRecord(0, WithRpm(1)), EListError);
  EXPECT_THROW(list.Before(WithRpm(1), WithRpm(2)), EListError);  // unsorted
  list.Add(WithRpm(1));
  EXPECT_THROW(list.CheckIndex(1), EListError);
  EXPECT_THROW(list.CheckIndex(-1), EListError);
  EXPECT_TRUE(list.CheckIndex(0));
}

TEST(TEFILogList, FullListRollsOldestOut) {
  TEFILogList list;
  list.MaxCount = 3;
  for (double rpm = 1; rpm <= 5; ++rpm) list.Add(WithRpm(rpm));
  EXPECT_EQ(Rpms(list), (std::vector<double>{3, 4, 5}));
  list.AddRolling(WithRpm(6));
  EXPECT_EQ(Rpms(list), (std::vector<double>{4, 5, 6}));
  list.PutRecord(1, WithRpm(9));
  EXPECT_EQ(Rpms(list), (std::vector<double>{4, 9, 6}));
  list.ClearAll();
  EXPECT_EQ(list.Count(), 0);
}

TEST(TEFILogList, MoveExchangeDelete) {
  TEFILogList list;
  for (double rpm = 0; rpm < 5; ++rpm) list.Add(WithRpm(rpm));
  list.Move(4, 1);
  EXPECT_EQ(Rpms(list), (std::vector<double>{0, 4, 1, 2, 3}));
  list.Move(1, 3);
  EXPECT_EQ(Rpms(list), (std::vector<double>{0, 1, 2, 4, 3}));
  list.Exchange(0, 4);
  list.Delete(1);
  EXPECT_EQ(Rpms(list), (std::vector<double>{3, 2, 4, 0}));
  EXPECT_THROW(list.Delete(4), EListError);
}
