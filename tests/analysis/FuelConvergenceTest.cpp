// The fuel correction converges on the virtual engine (noise, sensor delay, throttle
// transients, overrun, a cold start): rounds of drive -> analyse -> apply on the demo map
// bring the visited cells close to the engine's true need, no cell is pushed away from it,
// and further rounds do not drift. The drive and noise are seeded, so nothing here depends
// on time or chance.
#include <gtest/gtest.h>

#include "support/FuelRounds.h"

TEST(FuelConvergence, FourRoundsOnTheVirtualEngineReachTheNeedAndStayThere) {
  TFuelRounds rounds;
  const TRoundResult start = rounds.Start();
  EXPECT_GT(start.rms, 0.04);  // the chequered and smooth error the engine is built with
  TRoundResult r;
  int movedAway = 0;
  for (unsigned k = 1; k <= 4; ++k) {
    r = rounds.Round(k);
    movedAway += r.movedAway;
    EXPECT_GT(r.used, r.records / 2);
    EXPECT_LT(r.used, r.records);  // the cold start, transients and overrun are filtered
  }
  EXPECT_GT(r.visited, 150);
  EXPECT_LT(r.rms, 0.01);
  EXPECT_LT(r.max, 0.03);
  EXPECT_LE(movedAway, 1);  // of some 190 cells over four rounds
  const TRoundResult fourth = r;
  for (unsigned k = 5; k <= 6; ++k) {
    r = rounds.Round(k);
    EXPECT_NEAR(r.rms, fourth.rms, 0.0025);
  }
}
