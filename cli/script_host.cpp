#include "cli/script_host.h"

#include <cctype>
#include <charconv>
#include <sstream>
#include <vector>

#include "app/command_table.h"
#include "navaid/navaid_dump.h"
#include "navaid/scenery_load.h"
#include "platform/file_services.h"
#include "platform/file_writer.h"
#include "platform/json.h"

namespace quarn {
namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

// The first word of a line and the rest, trimmed.
std::pair<std::string, std::string> SplitWord(const std::string& s) {
  const std::string t = Trim(s);
  const auto sp = t.find_first_of(" \t");
  if (sp == std::string::npos) return {t, ""};
  return {t.substr(0, sp), Trim(t.substr(sp + 1))};
}

bool ParseInt(const std::string& s, int& out) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

bool ParseDouble(const std::string& s, double& out) {
  std::istringstream in(s);
  in >> out;
  return !in.fail() && in.eof();
}

bool ParseTwoInts(const std::string& s, int& a, int& b) {
  const auto [first, rest] = SplitWord(s);
  return ParseInt(first, a) && ParseInt(rest, b);
}

bool ParseKey(const std::string& name, Key& key) {
  static const std::pair<const char*, Key> kKeys[] = {
      {"HOME", Key::Home}, {"END", Key::End},   {"LEFT", Key::Left}, {"RIGHT", Key::Right},
      {"UP", Key::Up},     {"DOWN", Key::Down}, {"ADD", Key::Add},   {"SUBTRACT", Key::Subtract}};
  for (const auto& [n, k] : kKeys) {
    if (name == n) {
      key = k;
      return true;
    }
  }
  return false;
}

// Each channel of the flight by its name: recorded, derived or absent.
std::string ChannelsJson(const ChannelSet& channels) {
  JsonObject o;
  for (int c = 0; c < kChannelCount; ++c) {
    const auto channel = static_cast<Channel>(c);
    o.Add(ChannelName(channel), ChannelStateName(channels[channel]));
  }
  return o.Str();
}

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool IsClientSize(int extent) {
  return extent >= 1 && extent <= kMaxClientExtent;
}

bool IsClientCoordinate(int coordinate) {
  return coordinate >= -kMaxClientExtent - 1 && coordinate <= kMaxClientExtent;
}

ScriptHost::ScriptHost(TextMetrics& metrics, std::ostream& transcript, std::ostream& errors,
                       std::string startDirectory, std::string dataDir, int width, int height)
    : errors_(errors),
      startDirectory_(std::move(startDirectory)),
      transcript_(transcript),
      ui_(transcript_),
      window_(width, height, metrics),
      app_(window_, ui_, std::move(dataDir)) {}

std::string ScriptHost::FullPath(const std::string& path) const {
  if (!path.empty() && path.front() == kPathSeparator) return path;
  return JoinPath(startDirectory_, path);
}

bool ScriptHost::Fail(const std::string& reason) {
  errors_ << "line " << lineNumber_ << ": " << reason << '\n';
  return false;
}

int ScriptHost::Run(std::istream& script) {
  std::string line;
  while (std::getline(script, line)) {
    ++lineNumber_;
    if (!RunLine(line)) return 2;
  }
  return writeFailed_ ? 1 : 0;
}

void ScriptHost::WriteFailed(const std::string& path) {
  const std::string reason = "cannot write " + path;
  transcript_.Event("error", reason);
  errors_ << "line " << lineNumber_ << ": " << reason << '\n';
  writeFailed_ = true;
}

bool ScriptHost::RunLine(const std::string& rawLine) {
  std::string line = rawLine;
  if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
  const auto [verb, rest] = SplitWord(line);
  if (verb.empty()) return true;

  CHalbricoView& view = app_.view();
  if (verb == "size") {
    int w = 0, h = 0;
    if (!ParseTwoInts(rest, w, h) || !IsClientSize(w) || !IsClientSize(h)) {
      return Fail("size needs W H, each 1 to 32767");
    }
    window_.Resize(w, h);
    view.OnDraw();
  } else if (verb == "command") {
    const auto id = LookupCommand(rest);
    if (!id) return Fail("unknown command: " + rest);
    app_.ExecuteCommand(*id);
  } else if (verb == "key") {
    Key key{};
    if (!ParseKey(rest, key)) return Fail("unknown key: " + rest);
    view.OnKeyDown(key);
  } else if (verb == "click" || verb == "rclick") {
    int x = 0, y = 0;
    if (!ParseTwoInts(rest, x, y) || !IsClientCoordinate(x) || !IsClientCoordinate(y)) {
      return Fail(verb + " needs X Y, each -32768 to 32767");
    }
    if (verb == "click") {
      view.OnLButtonDown(x, y);
    } else {
      view.OnRButtonDown(x, y);
    }
  } else if (verb == "repaint") {
    view.OnDraw();
  } else if (verb == "answer") {
    const auto [kind, arg] = SplitWord(rest);
    ScriptedAnswer a;
    if (kind == "file" && !arg.empty()) {
      a.kind = ScriptedAnswer::Kind::File;
      a.text = FullPath(arg);
    } else if (kind == "cancel" && arg.empty()) {
      a.kind = ScriptedAnswer::Kind::Cancel;
    } else if (kind == "text") {
      a.kind = ScriptedAnswer::Kind::Text;
      a.text = arg;
    } else if (kind == "dir" && !arg.empty()) {
      a.kind = ScriptedAnswer::Kind::Dir;
      std::string path = arg;
      // Trailing flags, in any order.
      for (bool more = true; more;) {
        more = false;
        for (const char* flag : {" recurse", " fs2000"}) {
          if (EndsWith(path, flag)) {
            (std::string(flag) == " recurse" ? a.recurse : a.fs2000) = true;
            path = Trim(path.substr(0, path.size() - std::string(flag).size()));
            more = true;
          }
        }
      }
      a.text = FullPath(path);
    } else {
      return Fail("answer needs file PATH, cancel, text TEXT or dir PATH [recurse] [fs2000]");
    }
    ui_.QueueAnswer(std::move(a));
  } else if (verb == "dump") {
    if (rest.empty()) return Fail("dump needs a path");
    return Dump(FullPath(rest));
  } else if (verb == "state") {
    transcript_.Line(StateJson());
  } else if (verb == "navaids") {
    if (rest.empty()) return Fail("navaids needs a path");
    return WriteNavaids(FullPath(rest));
  } else if (verb == "parse") {
    if (rest.empty()) return Fail("parse needs a path");
    ParseOneFile(FullPath(rest));
  } else if (verb == "magvar") {
    const auto [latText, lonText] = SplitWord(rest);
    double lat = 0, lon = 0;
    if (!ParseDouble(latText, lat) || !ParseDouble(lonText, lon)) {
      return Fail("magvar needs LAT LON");
    }
    transcript_.Line(JsonObject()
                         .Add("event", "magvar")
                         .Add("value", app_.doc().MagneticVariationAt(lat, lon))
                         .Str());
  } else if (verb == "compare") {
    // The alignment, when given, is the last word; the file is the rest.
    std::string file = rest;
    CompareAlignment alignment = kDefaultCompareAlignment;
    const auto lastBlank = rest.find_last_of(" \t");
    if (lastBlank != std::string::npos) {
      if (const auto named = ParseCompareAlignment(rest.substr(lastBlank + 1))) {
        alignment = *named;
        file = Trim(rest.substr(0, lastBlank));
      }
    }
    if (file.empty() || ParseCompareAlignment(file)) {
      return Fail("compare needs FILE [start|takeoff|touchdown]");
    }
    view.CompareWith(FullPath(file), alignment);
  } else if (verb == "end") {
    if (rest != "compare") return Fail("unknown line: " + Trim(rawLine));
    view.OnEndCompare();
  } else if (verb == "sample") {
    int index = 0;
    if (!ParseInt(rest, index)) return Fail("sample needs an index");
    transcript_.Line(SampleJson(index));
  } else {
    return Fail("unknown line: " + Trim(rawLine));
  }
  return true;
}

bool ScriptHost::Dump(const std::string& path) {
  if (EndsWith(path, ".json")) {
    if (!ReplaceFileContents(path, window_.displayList().ToJson())) WriteFailed(path);
    return true;
  }
  std::string lower = path;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (!EndsWith(lower, ".png") && !EndsWith(lower, ".svg") && !EndsWith(lower, ".pdf")) {
    return Fail("unknown image type (use .json, .png, .svg or .pdf): " + path);
  }
  if (!exporter_) return Fail("this host cannot write images: " + path);
  std::string error;
  if (!exporter_(window_.displayList(), path, error)) WriteFailed(path);
  return true;
}

// One scenery file as a navaid load takes each file of its list, followed by the
// index rebuild.
void ScriptHost::ParseOneFile(const std::string& path) {
  LoadSceneryFile(app_.doc(), path, app_.dataDir(), ui_);
  app_.doc().RebuildIndexLists();
}

bool ScriptHost::WriteNavaids(const std::string& path) {
  const CHalbricoDoc& doc = app_.doc();
  std::string lines;
  for (std::int32_t i = 0; i < doc.m_navaidCount; ++i) {
    lines += NavaidJson(doc, doc.m_navaids[static_cast<std::size_t>(i)]);
    lines += '\n';
  }
  if (!ReplaceFileContents(path, lines)) WriteFailed(path);
  return true;
}

std::string ScriptHost::StateJson() {
  const CHalbricoDoc& doc = app_.doc();
  const Flight& flight = doc.flight();
  const ViewState& v = app_.view().state();
  const MapState& m = app_.view().mapState();
  JsonObject o;
  o.Add("event", "state")
      .Add("g_chartMode", v.chartMode)
      .Add("g_windowFirst", v.windowFirst)
      .Add("g_windowLast", v.windowLast)
      .Add("g_firstTime", v.firstTime)
      .Add("g_lastTime", v.lastTime)
      .Add("g_cursorOffset", v.cursorOffset)
      .Add("g_trackFirst", v.trackFirst)
      .Add("g_trackLast", v.trackLast)
      .Add("g_trackCursor", v.trackCursor)
      .Add("g_zoomLevel", v.zoomLevel)
      .Add("g_lastSampleIndex", flight.lastSampleIndex())
      .Add("g_recordPath", flight.recordPath)
      .Add("m_navaidsLoaded", static_cast<int>(doc.m_navaidsLoaded))
      .Add("m_navaidCount", static_cast<int>(doc.m_navaidCount))
      .Add("m_magVarLoaded", static_cast<int>(doc.m_magVarLoaded))
      .Add("m_bglIndex", static_cast<int>(doc.m_bglIndex))
      .Add("m_runwayIdx", static_cast<int>(doc.m_runwayIdx.size()))
      .Add("m_ilsIdx", static_cast<int>(doc.m_ilsIdx.size()))
      .Add("m_vorIdx", static_cast<int>(doc.m_vorIdx.size()))
      .Add("m_ndbIdx", static_cast<int>(doc.m_ndbIdx.size()))
      .Add("m_markerIdx", static_cast<int>(doc.m_markerIdx.size()))
      .Add("m_airportIdx", static_cast<int>(doc.m_airportIdx.size()))
      .Add("m_atisIdx", static_cast<int>(doc.m_atisIdx.size()))
      .Add("m_fixIdx", static_cast<int>(doc.m_fixIdx.size()))
      .Add("g_showVor", m.showVor)
      .Add("g_showNdb", m.showNdb)
      .Add("g_showFix", m.showFix)
      .Add("g_showRunway", m.showRunway)
      .Add("g_showAirport", m.showAirport)
      .Add("g_showIdFreq", m.showIdFreq)
      .Add("g_showDistance", m.showDistance)
      .Add("g_showMarkers", m.showMarkers)
      .Add("g_showRadials", m.showRadials)
      .Add("g_selectAllTurnsOn", m.selectAllTurnsOn)
      .Add("g_mapLatMin", m.mapLatMin)
      .Add("g_mapLatMax", m.mapLatMax)
      .Add("g_mapLonMin", m.mapLonMin)
      .Add("g_mapLonMax", m.mapLonMax)
      .Add("g_mapSpanDeg", m.mapSpanDeg)
      .Add("g_mapSpanMetres", m.mapSpanMetres)
      .Add("width", window_.ClientWidth())
      .Add("height", window_.ClientHeight())
      .Add("dataDir", app_.dataDir())
      .AddRaw("channels", ChannelsJson(flight.channels));
  return o.Str();
}

std::string ScriptHost::SampleJson(int index) {
  const FlightSample& s = app_.doc().flight().SampleAt(index);
  return JsonObject()
      .Add("event", "sample")
      .Add("index", index)
      .Add("altitudeFt", s.altitudeFt)
      .Add("timeHours", s.timeHours)
      .Add("latitudeDeg", s.latitudeDeg)
      .Add("longitudeDeg", s.longitudeDeg)
      .Add("pitchDeg", s.pitchDeg)
      .Add("bankDeg", s.bankDeg)
      .Add("tasKt", s.tasKt)
      .Add("iasKt", s.iasKt)
      .Add("verticalSpeedFpm", s.verticalSpeedFpm)
      .Add("gear1", s.gear1)
      .Add("gear2", s.gear2)
      .Add("gear3", s.gear3)
      .Add("fuelLeft", s.fuelLeft)
      .Add("fuelLeftAux", s.fuelLeftAux)
      .Add("fuelRight", s.fuelRight)
      .Add("fuelRightAux", s.fuelRightAux)
      .Add("courseDeg", s.courseDeg)
      .Str();
}

}  // namespace quarn
