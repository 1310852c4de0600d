#include "history_model/history_export.h"

#include "shared/time_stamp.h"
#include "shared/windows1252.h"

#include <QDateTime>
#include <QFileInfo>

namespace bl {

namespace {

QString csv_field(const QString &text) {
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

qint64 since_local_midnight(std::int64_t wall_us) {
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(wall_us / 1000);
    return at.time().msecsSinceStartOfDay();
}

} // namespace

ExportFormat export_format_for(const QString &path, ExportFormat chosen) {
    const QString ending = QFileInfo(path).suffix().toLower();
    if (ending == QLatin1String("csv"))
        return ExportFormat::Csv;
    if (ending == QLatin1String("bin") || ending == QLatin1String("raw"))
        return ExportFormat::Raw;
    if (ending == QLatin1String("txt") || ending == QLatin1String("log"))
        return ExportFormat::Text;
    return chosen;
}

QString with_ending(const QString &path, ExportFormat format) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    switch (format) {
    case ExportFormat::Csv: return path + QStringLiteral(".csv");
    case ExportFormat::Raw: return path + QStringLiteral(".bin");
    case ExportFormat::Text: return path + QStringLiteral(".txt");
    }
    return path;
}

bool export_rows(const HistoryModel &model, const HistoryStore &store, ExportFormat format,
                 QIODevice &out, const QString &decimal_point) {
    if (format == ExportFormat::Csv) {
        QStringList heads;
        for (int c = 0; c < HistoryModel::kColumns; ++c)
            heads << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        if (out.write("\xEF\xBB\xBF" + heads.join(QLatin1Char(';')).toUtf8() + "\r\n") < 0)
            return false;
    }
    for (int row = 0; row < model.rowCount(); ++row) {
        const loconet::Message m = store.at(model.position(row));
        QByteArray record;
        switch (format) {
        case ExportFormat::Text:
            record =
                to_windows1252(format_time_stamp(since_local_midnight(m.wall_us), decimal_point) +
                               QStringLiteral(" - ") + model.line(row)) +
                "\r\n";
            break;
        case ExportFormat::Csv: {
            QStringList fields;
            for (int c = 0; c < HistoryModel::kColumns; ++c)
                fields << csv_field(model.data(model.index(row, c), Qt::DisplayRole).toString());
            record = fields.join(QLatin1Char(';')).toUtf8() + "\r\n";
            break;
        }
        case ExportFormat::Raw:
            record = QByteArray(reinterpret_cast<const char *>(m.bytes.data()), m.length);
            break;
        }
        if (out.write(record) != record.size())
            return false;
    }
    return true;
}

} // namespace bl
