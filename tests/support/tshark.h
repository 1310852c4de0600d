// tshark with our dissector plugin from the build tree. Wireshark reads a
// plugin folder named by WIRESHARK_PLUGIN_DIR, and personal settings, only
// when not run with special rights; root counts as such. As root, tshark is
// therefore run as nobody, in a folder everybody may read.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace bl::testing {

inline QString tshark_program() { return QStandardPaths::findExecutable(QStringLiteral("tshark")); }

class Tshark {
public:
    // plugin: the built loconet.so ("" for tshark without it); folder:
    // where below the plugin folder Wireshark looks for it ("4.0/epan")
    explicit Tshark(const QString &plugin = {}, const QString &folder = {}) {
        QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                               QFileDevice::ExeOther | QFileDevice::WriteOther);
        if (plugin.isEmpty())
            return;
        const QString epan = dir_.filePath(QStringLiteral("plugins/") + folder);
        QDir().mkpath(epan);
        for (QString d = epan; d != dir_.path(); d = QFileInfo(d).path())
            QFile::setPermissions(d, QFile::permissions(d) | QFileDevice::ReadOther |
                                         QFileDevice::ExeOther);
        QFile::copy(plugin, epan + QStringLiteral("/loconet.so"));
    }

    // A copy of the file that tshark may read, as it is now.
    QString place(const QString &file) {
        const QString copy = dir_.filePath(QFileInfo(file).fileName());
        QFile::remove(copy);
        QFile::copy(file, copy);
        QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ReadOther);
        return copy;
    }
    // A file of the given bytes that tshark may read.
    QString write(const QString &name, const QByteArray &bytes) {
        QFile f(dir_.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QFile::setPermissions(f.fileName(), f.permissions() | QFileDevice::ReadOther);
        return f.fileName();
    }
    // tshark's personal settings folder (colouring rules, preferences).
    QString settings() {
        const QString path = dir_.filePath(QStringLiteral(".config/wireshark"));
        QDir().mkpath(path);
        for (QString d = path; d != dir_.path(); d = QFileInfo(d).path())
            QFile::setPermissions(d, QFile::permissions(d) | QFileDevice::ReadOther |
                                         QFileDevice::ExeOther);
        return path;
    }

    // Our capture program among tshark's extcap programs.
    void with_extcap(const QString &program) {
        const QString folder = dir_.filePath(QStringLiteral("extcap"));
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
        QFile::copy(program, folder + QStringLiteral("/bus-lauscher-extcap"));
        extcap_ = folder;
    }

    // tshark started, not waited for.
    void start(QProcess &p, const QStringList &arguments) {
        QStringList environment = {
            QStringLiteral("HOME=") + dir_.path(), QStringLiteral("TMPDIR=") + dir_.path(),
            QStringLiteral("WIRESHARK_PLUGIN_DIR=") + dir_.filePath(QStringLiteral("plugins"))};
        if (!extcap_.isEmpty())
            environment << QStringLiteral("WIRESHARK_EXTCAP_DIR=") + extcap_;
        if (::geteuid() == 0)
            p.start(QStringLiteral("setpriv"),
                    QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                QStringLiteral("--clear-groups"), QStringLiteral("env")} +
                        environment + QStringList{tshark_program()} + arguments);
        else
            p.start(QStringLiteral("env"), environment + QStringList{tshark_program()} + arguments);
    }

    struct Result {
        int status = -1;
        QByteArray out, err;
    };
    Result run(const QStringList &arguments) {
        QProcess p;
        start(p, arguments);
        EXPECT_TRUE(p.waitForFinished(120000));
        Result r{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                 p.readAllStandardOutput(), p.readAllStandardError()};
        // as root, tshark warns about root on every start
        r.err.replace("Running as user \"root\" and group \"root\". This could be dangerous.\n",
                      "");
        return r;
    }

private:
    QTemporaryDir dir_;
    QString extcap_;
};

} // namespace bl::testing
