// The hostile-name table through `galvora make`, with the names given as a script gives them:
// after "--", as bytes that need not be UTF-8. Every kind's page is checked on the page writers;
// here the kinds whose pages show the names, so the names taken from the command line are shown.

#include "galvora_process.h"
#include "support/hostile_names.h"

#include <QTemporaryDir>
#include <sys/wait.h>
#include <vector>

namespace
{

// Runs the program with arguments given as bytes, what it says into `outputPath`; its exit status,
// or -1 when it did not end by itself.
int RunWithBytes(QList<QByteArray> arguments, const QByteArray &outputPath)
{
    arguments.prepend(GALVORA_PROGRAM);
    std::vector<char *> argv;
    for (QByteArray &word : arguments)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) { // only what is safe between fork and exec
        const int output = ::open(outputPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class HostileNamesCommandLineTest : public ::testing::TestWithParam<const char *>
{
};

TEST_P(HostileNamesCommandLineTest, ThePageHasItsOwnElementsAndScriptAndShowsTheNamesAsText)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const HostileFiles files = WriteHostileFiles(QFile::encodeName(work.filePath(QStringLiteral("fotos"))));
    ASSERT_FALSE(files.unnameable.isEmpty());
    const QString said = work.filePath(QStringLiteral("output.txt"));
    const auto make = [&](const char *album, const QList<QByteArray> &pictures) {
        const QByteArray output = QFile::encodeName(work.filePath(QLatin1String(album)));
        return RunWithBytes(QList<QByteArray>{"make", GetParam(), "--quiet", "-o", output, "--"} + pictures,
                            QFile::encodeName(said));
    };
    const auto page = [&](const char *album) {
        return PictureFiles::ReadBytes(work.filePath(QLatin1String(album) + QStringLiteral("/index.html")));
    };

    ASSERT_EQ(make("plain", files.plain), 0) << PictureFiles::ReadBytes(said).data();
    ASSERT_EQ(make("hostile", files.hostile), 0) << PictureFiles::ReadBytes(said).data();
    EXPECT_EQ(ExpectNamesOnlyAsText(page("plain"), page("hostile"), files), files.hostile.size());

    EXPECT_NE(make("refused", {files.plain[0], files.unnameable[0]}), 0);
    EXPECT_TRUE(
        PictureFiles::ReadBytes(said).contains(QFile::encodeName(QFile::decodeName(files.unnameable[0]))))
        << "names the picture";
    EXPECT_FALSE(QFile::exists(work.filePath(QStringLiteral("refused/index.html"))));
}

INSTANTIATE_TEST_SUITE_P(KindsShowingNames, HostileNamesCommandLineTest,
                         ::testing::Values("thumbnails", "web-album"), [](const auto &row) {
                             return QByteArray(row.param).replace('-', '_').toStdString();
                         });

} // namespace
