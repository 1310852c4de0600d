// The shown rows of the history, written out: as a trace file has them
// (time stamp, " - ", line; Windows-1252, CR LF), as CSV (UTF-8, ";" as
// spreadsheets in German locales expect) or as the raw bytes, which
// --decode and --replay read again.
#pragma once

#include "history_model/history_model.h"

#include <QIODevice>

namespace bl {

enum class ExportFormat { Text, Csv, Raw };

// The form a file name asks for by its ending (.csv, .bin or .raw, .txt or
// .log, case ignored); a name without one of these takes the chosen form.
ExportFormat export_format_for(const QString &path, ExportFormat chosen);
// The name with the chosen form's ending where it has no ending at all.
QString with_ending(const QString &path, ExportFormat format);

// False where the device refused a write; nothing is left half-written in
// a record (each row goes in one write).
bool export_rows(const HistoryModel &model, const HistoryStore &store, ExportFormat format,
                 QIODevice &out, const QString &decimal_point);

} // namespace bl
