// quarn-cli debrief end to end: the example flight's landing on Amsterdam runway 06
// with the ILS KAG, from a scenery list naming the example scenery.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace quarn::testing {
namespace {

struct Output {
  int status = -1;
  std::string out;
};

Output RunCli(const std::string& args) {
  Output r;
  FILE* pipe = ::popen((std::string(QUARN_CLI_PATH) + " " + args + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) r.out.append(buffer, n);
  const int raw = ::pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

std::string WriteList(const TempDir& dir, const std::string& bgl) {
  const std::string path = dir.File("amsterdam.lis");
  std::ofstream(path) << bgl << '\n';
  return path;
}

TEST(QuarnCliDebrief, TheExampleFlightLandsStableOnRunway06) {
  TempDir dir;
  const Output r = RunCli("debrief " QUARN_EXAMPLES_DIR "/flight.dat --scenery " +
                          WriteList(dir, QUARN_EXAMPLES_DIR "/scenery/amsterdam_old.bgl") +
                          " --data-dir " + dir.path());
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.out.back(), '\n');
  ASSERT_EQ(r.out.find('\n'), r.out.size() - 1) << "one object on one line";
  QJsonParseError error;
  const QJsonObject d = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error).object();
  ASSERT_EQ(error.error, QJsonParseError::NoError);
  EXPECT_EQ(d["missing"].toArray().size(), 0);
  EXPECT_EQ(d["runway"]["ident"].toString(), "6");
  EXPECT_FALSE(d["runway"]["reciprocal"].toBool());
  EXPECT_EQ(d["ils"]["ident"].toString(), "KAG");
  EXPECT_NEAR(d["ils"]["glideSlopeDeg"].toDouble(), 3.0, 0.01);
  // A 1 Hz record: 10 ft in the last two seconds.
  EXPECT_NEAR(d["landingRateFpm"].toDouble(), 300, 0.001);
  const QJsonObject point = d["touchdownPoint"].toObject();
  EXPECT_NEAR(point["pastThresholdFt"].toDouble(), 2517.6, 0.1);
  EXPECT_EQ(point["position"].toString(), "past the threshold");
  EXPECT_NEAR(point["offsetM"].toDouble(), 3.6, 0.1);
  EXPECT_EQ(point["side"].toString(), "right");
  const QJsonArray gates = d["gates"].toArray();
  ASSERT_EQ(gates.size(), 2);
  EXPECT_EQ(gates[0].toObject()["heightFt"].toDouble(), 1000);
  EXPECT_EQ(gates[1].toObject()["heightFt"].toDouble(), 500);
  for (const auto& gateValue : gates) {
    const QJsonObject gate = gateValue.toObject();
    EXPECT_TRUE(gate["passed"].toBool());
    const QJsonArray criteria = gate["criteria"].toArray();
    ASSERT_EQ(criteria.size(), 6);
    EXPECT_EQ(criteria[0].toObject()["name"].toString(), "localizer");
    EXPECT_EQ(criteria[0].toObject()["side"].toString(), "left");
    EXPECT_EQ(criteria[1].toObject()["side"].toString(), "high");
  }
  EXPECT_EQ(d["stable"], QJsonValue(true));
  // Every sample from ten miles out to touchdown, each needle with its side.
  const QJsonArray samples = d["samples"].toArray();
  ASSERT_EQ(samples.size(), 260);
  EXPECT_LE(samples.first().toObject()["distanceNm"].toDouble(), 10);
  EXPECT_EQ(samples.last().toObject()["index"].toInt(), d["touchdown"]["index"].toInt());
  for (const auto& value : samples) {
    const QJsonObject s = value.toObject();
    ASSERT_TRUE(s["localizerDots"].isDouble());
    EXPECT_EQ(s["localizerSide"].toString(), s["localizerDots"].toDouble() < 0 ? "left" : "right");
  }
}

TEST(QuarnCliDebrief, BadArgumentsGiveStatusTwo) {
  for (const char* args : {"debrief", "debrief a.dat", "debrief --scenery x.lis",
                           "debrief a.dat b.dat --scenery x.lis"}) {
    EXPECT_EQ(RunCli(args).status, 2) << args;
  }
  TempDir dir;
  const std::string list = WriteList(dir, QUARN_EXAMPLES_DIR "/scenery/amsterdam_old.bgl");
  const std::string data = " --data-dir " + dir.path();
  EXPECT_EQ(RunCli("debrief " + dir.File("none.dat") + " --scenery " + list + data).status, 1);
  EXPECT_EQ(
      RunCli("debrief " QUARN_EXAMPLES_DIR "/flight.dat --scenery " + dir.File("none.lis") + data)
          .status,
      1);
}

// quarn-cli phases: the example flight's one leg, in the JSON other tools read.
TEST(QuarnCliPhases, TheExampleFlightsLegWithItsEventsAndBlocks) {
  const Output r = RunCli("phases " QUARN_EXAMPLES_DIR "/flight.dat");
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.out.find('\n'), r.out.size() - 1) << "one object on one line";
  QJsonParseError error;
  const QJsonObject d = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error).object();
  ASSERT_EQ(error.error, QJsonParseError::NoError);
  const QJsonArray legs = d["legs"].toArray();
  ASSERT_EQ(legs.size(), 1);
  const QJsonObject leg = legs[0].toObject();
  EXPECT_EQ(leg.keys(), (QStringList{"blocks", "go_arounds", "landing_roll_end", "takeoff",
                                     "touch_and_goes", "touchdowns"}));
  const QJsonObject liftoff = leg["takeoff"].toObject()["liftoff"].toObject();
  EXPECT_EQ(liftoff.keys(), (QStringList{"index", "latitude", "longitude", "time"}));
  EXPECT_EQ(liftoff["time"].toString(), "09:09:57");
  const QJsonArray touchdowns = leg["touchdowns"].toArray();
  ASSERT_EQ(touchdowns.size(), 1);
  EXPECT_EQ(touchdowns[0].toObject()["time"].toString(), "09:28:19");
  EXPECT_EQ(touchdowns[0].toObject()["bounces"].toInt(), 0);
  const QJsonObject blocks = leg["blocks"].toObject();
  EXPECT_EQ(blocks["off"].toString(), "09:09:57");
  EXPECT_EQ(blocks["on"].toString(), "09:28:19");
  EXPECT_TRUE(leg["go_arounds"].toArray().isEmpty());
  // A record that cannot be read, and a call without one.
  EXPECT_EQ(RunCli("phases " QUARN_EXAMPLES_DIR "/none.dat").status, 1);
  EXPECT_EQ(RunCli("phases").status, 2);
}

}  // namespace
}  // namespace quarn::testing
