// The console's typed lines: sent one per pass of the event loop, and,
// once the port is gone (an interface unplugged), the lines still waiting
// dropped with one report instead of one error each.
#include "cli/console_io.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <unistd.h>

namespace bl {
namespace {

// What the program says on standard error while the object lives.
class StandardError {
public:
    StandardError() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        if (::pipe(pipe_) == 0)
            ::dup2(pipe_[1], STDERR_FILENO);
    }
    std::string said() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(pipe_[1]);
        std::string text;
        char buf[4096];
        for (ssize_t n; (n = ::read(pipe_[0], buf, sizeof buf)) > 0;)
            text.append(buf, static_cast<std::size_t>(n));
        ::close(pipe_[0]);
        ::close(saved_);
        return text;
    }

private:
    int saved_ = -1;
    int pipe_[2] = {-1, -1};
};

TEST(TypedLines, AGonePortDropsTheWaitingLinesWithOneReport) {
    QObject owner;
    std::vector<QString> sent;
    bool open = true;
    auto *lines = new TypedLines(
        [&](const QString &line) {
            sent.push_back(line);
            if (sent.size() == 2)
                open = false; // unplugged while sending the second
        },
        &owner, [&] { return open; });
    StandardError err;
    std::string typed;
    for (int i = 0; i < 1000; ++i)
        typed += "B2 05 10\n";
    lines->take(typed.data(), static_cast<qsizetype>(typed.size()));
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    const std::string said = err.said();
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("998 eingegebene Zeilen nicht gesendet"), std::string::npos) << said;

    open = true; // back again: what is typed now goes
    lines->take("83\n", 3);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent.back(), QStringLiteral("83"));
}

} // namespace
} // namespace bl
