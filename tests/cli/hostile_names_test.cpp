// The hostile-name table through `galvora make`, with the names given as a script gives them:
// after "--", as bytes that need not be UTF-8. Every kind's page is checked on the page writers;
// here the kinds whose pages show the names, so the names taken from the command line are shown.

#include "galvora_process.h"
#include "support/hostile_names.h"

#include <QTemporaryDir>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace
{

// Runs the program with arguments given as bytes, standard error into `errPath`; its exit status, or
// -1 when it did not end by itself.
int RunWithBytes(QList<QByteArray> arguments, const QByteArray &errPath)
{
    arguments.prepend(GALVORA_PROGRAM);
    std::vector<char *> argv;
    for (QByteArray &word : arguments)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
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
    const QByteArray err = QFile::encodeName(work.filePath(QStringLiteral("stderr.txt")));
    const auto make = [&](const char *album, const QList<QByteArray> &pictures) {
        const QByteArray output = QFile::encodeName(work.filePath(QLatin1String(album)));
        return RunWithBytes(QList<QByteArray>{"make", GetParam(), "--quiet", "-o", output, "--"} + pictures,
                            err);
    };
    const auto page = [&](const char *album) {
        return PictureFiles::ReadBytes(work.filePath(QLatin1String(album) + QStringLiteral("/index.html")));
    };

    ASSERT_EQ(make("plain", files.plain), 0) << PictureFiles::ReadBytes(QFile::decodeName(err)).data();
    ASSERT_EQ(make("hostile", files.hostile), 0) << PictureFiles::ReadBytes(QFile::decodeName(err)).data();
    EXPECT_EQ(ExpectNamesOnlyAsText(page("plain"), page("hostile"), files), files.hostile.size());

    EXPECT_NE(make("refused", {files.plain[0], files.unnameable[0]}), 0);
    EXPECT_TRUE(PictureFiles::ReadBytes(QFile::decodeName(err))
                    .contains(QFile::encodeName(QFile::decodeName(files.unnameable[0]))))
        << "names the picture";
    EXPECT_FALSE(QFile::exists(work.filePath(QStringLiteral("refused/index.html"))));
}

INSTANTIATE_TEST_SUITE_P(KindsShowingNames, HostileNamesCommandLineTest,
                         ::testing::Values("thumbnails", "web-album"), [](const auto &row) {
                             return QByteArray(row.param).replace('-', '_').toStdString();
                         });

} // namespace
