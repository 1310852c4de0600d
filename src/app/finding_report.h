// Findings as people read them and programs take them: one German line per
// finding (--findings), one JSON object per finding (--findings --json), and
// the counts the status bar shows.
#pragma once

#include "loconet/findings.h"

#include <QString>
#include <string>

namespace bl {

// "14:05:09,123  Warnung  unbeantwortet  Nr. 17: Keine Antwort …" (UTF-8,
// no line end); the time is left out where the message had none.
std::string finding_line(const loconet::Finding &f);
// {"nr", "zeit", "art", "schwere", "text", "meldungen": [...], "anzahl"}
std::string finding_json(const loconet::Finding &f);
// "2 Fehler, 1 Warnung, 3 Hinweise", "" where there are none.
QString findings_count_text(const loconet::Findings &findings);

} // namespace bl
