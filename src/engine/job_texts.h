#pragma once
// The texts of the encode and decode jobs: everything in which the two modes
// differ. The procedure itself is the same for both.
#include <QString>
#include <array>

#include "engine/engine_job.h"

namespace rux {

// A text around the engine path: before + path + after.
struct AroundPath {
  const char* before;
  const char* after;
  QString With(const QString& path) const {
    return QString::fromUtf8(before) + path + QString::fromUtf8(after);
  }
};

struct JobTexts {
  char modeLetter;  // item 3 of the command line
  // Confirmation: question + "\n\nSource file: " ... "\n\nAre you sure?".
  const char* question;
  const char* caption;
  // Console: the title, and the text written before and after the paths.
  const char* consoleTitle;
  const char* consoleWait;
  // Header entry of the log.
  const char* dateLabel;
  int dateLines;  // how often the date line is written
  const char* heading;
  const char* configLabel;
  const char* programLabel;
  const char* keyBookLabel;
  const char* keyNumberLabel;
  const char* sourceLabel;
  const char* targetLabel;
  const char* verifyLabel;
  const char* parametersHeading;
  std::array<const char*, 14> parameterLabels;
  const char* waitLine;
  // Outcome: message box and log entry.
  AroundPath okBox;
  AroundPath okEntry;
  AroundPath errorBox;
  AroundPath errorEntry;
  // Error number: box and entry text before the number.
  const char* errorNumberLabel;
  bool errorNumberReusesStamp;  // its entry carries the outcome entry's time stamp
};

const JobTexts& TextsFor(JobMode mode);

// Texts both modes share.
inline const char* const kMandatoryEmptyText =
    "MANDATORY PARAMETERS EMPTY.\n\nFILL MANDATORY FIELDS.";
inline const char* const kSeparatorLine =
    "\n___________________________________________________________________________";
inline const char* const kOutcomeDateLabel = "\n DATE: ";

}  // namespace rux
