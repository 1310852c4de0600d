// The man pages and the bash completion offer every option the programs
// have: both are checked against the programs' own --help.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QString run(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QSet<QString> options_in(const QString &text) {
    QSet<QString> options;
    const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-z][a-z-]*"));
    for (const auto &match : option.globalMatch(text))
        options << match.captured();
    return options;
}

std::string listed(const QSet<QString> &options) {
    QStringList list(options.begin(), options.end());
    list.sort();
    return list.join(QLatin1Char(' ')).toStdString();
}

// What the completion offers after a lone "-".
QSet<QString> completed(const QString &name) {
    const QString script = QStringLiteral(BUSLAUSCHER_PACKAGING_DIR "/completion/") + name;
    const QString function =
        QStringLiteral("_") + QString(name).replace(QLatin1Char('-'), QLatin1Char('_'));
    return options_in(run(
        QStringLiteral("bash"),
        {QStringLiteral("-c"), QStringLiteral("source '%1'; COMP_WORDS=(%2 -); COMP_CWORD=1; %3; "
                                              "printf '%s\\n' \"${COMPREPLY[@]}\"")
                                   .arg(script, name, function)}));
}

TEST(Packaging, ManPagesAndCompletionOfferEveryOption) {
    const struct {
        const char *name;
        const char *binary;
    } programs[] = {{"bus-lauscher", BUSLAUSCHER_BINARY},
                    {"bus-lauscher-sim", BUSLAUSCHER_SIM_BINARY}};
    const QString man_dir = QStringLiteral(BUSLAUSCHER_MAN_DIR);
    for (const auto &program : programs) {
        const QString name = QString::fromLatin1(program.name);
        QString help = run(QString::fromLatin1(program.binary), {QStringLiteral("--help")});
        // the options' own column, not the words of their explanations
        help = help.section(QStringLiteral("Optionen:"), 1);
        QSet<QString> offered;
        for (const QString &line : help.split(QLatin1Char('\n')))
            offered += options_in(line.left(line.indexOf(QStringLiteral("  "), 2)));
        ASSERT_GT(offered.size(), 5) << program.name;
        EXPECT_EQ(listed(completed(name)), listed(offered)) << program.name;

        QProcess man;
        man.start(
            QStringLiteral("gzip"),
            {QStringLiteral("-dc"), man_dir + QLatin1Char('/') + name + QStringLiteral(".1.gz")});
        man.waitForFinished(30000);
        const QString page =
            QString::fromUtf8(man.readAllStandardOutput()).remove(QLatin1Char('\\'));
        if (page.isEmpty()) {
            std::printf("no man page of %s built (help2man missing): not checked\n", program.name);
            continue;
        }
        for (const QString &option : offered)
            EXPECT_TRUE(page.contains(option)) << program.name << " " << option.toStdString();
    }
}

} // namespace
