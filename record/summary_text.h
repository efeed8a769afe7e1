#pragma once
// What the two summary screens share: their font, the dashes under the column
// header and the event row that shows one sample's flight conditions.

#include <array>
#include <string>

#include "base/flight.h"
#include "base/format.h"
#include "platform/draw_context.h"
#include "record/flight_analysis.h"

namespace quarn {

inline constexpr const char* kSummaryColumnDashes =
    "-----------                       -------      --------      ---------     -----------   "
    "-------   -------   ------    ------   ----------";

// Selects Arial of character height 9 and a solid black pen of width 1 for the
// summary's text, and puts back what was selected before.
class SummaryFont {
 public:
  explicit SummaryFont(DrawContext& dc)
      : dc_(dc), oldFont_(dc.SelectFont(ArialFont(-9))), oldPen_(dc.SelectPen(Pen{})) {}
  SummaryFont(const SummaryFont&) = delete;
  SummaryFont& operator=(const SummaryFont&) = delete;
  ~SummaryFont() {
    dc_.SelectFont(oldFont_);
    dc_.SelectPen(oldPen_);
  }

 private:
  DrawContext& dc_;
  Font oldFont_;
  Pen oldPen_;
};

// A row of a sample's time (form B), altitude, latitude, longitude, pitch, bank,
// true and indicated air speed and vertical speed through one of the rows' formats;
// "n/a" for the values of channels the flight did not record.
std::string SummaryEventRow(const char* format, const FlightSample& s,
                            const ChannelSet& channels = ChannelSet::AllRecorded());

// A fuel row's fields: the sample's stored time, then its four tanks, "n/a" where the
// flight did not record fuel. The screen and the text export lay them out each its way.
std::array<RowField, 7> FuelRowFields(const AnalysisSample& s, bool recorded);

// A row of a quantity the flight did not record: the format's label, then "n/a".
std::string NotRecordedRow(const char* format);

// The channel an extreme of the summaries is the extreme of.
Channel ChannelOfExtreme(int extremeKind);

// The number of samples the screens walk: 0 for an empty record.
int SummarySampleCount(const Flight& flight);

}  // namespace quarn
