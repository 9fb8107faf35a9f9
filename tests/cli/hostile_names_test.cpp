// The hostile-name table through `galvora make`, every kind, with the names given as a script would
// give them (after "--", as bytes, not always UTF-8): each page has the elements and the script of
// the same album made of plain names, and shows the names as text.

#include "shared/production_kinds.h"
#include "support/hostile_names.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QTemporaryDir>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace
{

struct Finished {
    int status = -1;
    QByteArray err;
};

// Runs the program with arguments given as bytes, without DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM;
// what it says on standard error goes through a file in `folder`.
Finished RunGalvora(const QList<QByteArray> &arguments, const QString &folder)
{
    std::vector<QByteArray> words{QByteArray(GALVORA_PROGRAM)};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (char **entry = environ; *entry; ++entry) {
        const QByteArray variable(*entry);
        if (!variable.startsWith("DISPLAY=") && !variable.startsWith("WAYLAND_DISPLAY=") &&
            !variable.startsWith("QT_QPA_PLATFORM="))
            envp.push_back(*entry);
    }
    envp.push_back(nullptr);
    const QByteArray errPath = QFile::encodeName(folder + QStringLiteral("/stderr.txt"));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return {};
    return {WEXITSTATUS(status), PictureFiles::ReadBytes(QFile::decodeName(errPath))};
}

class HostileNamesCommandLineTest : public ::testing::TestWithParam<ProductionKind>
{
  protected:
    QTemporaryDir work;
    QByteArray fotos;

    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        fotos = QFile::encodeName(work.filePath(QStringLiteral("fotos")));
        ASSERT_EQ(::mkdir(fotos.constData(), 0755), 0);
    }

    QByteArray writeJpeg(const QByteArray &folder, const QByteArray &file) const
    {
        QByteArray path = fotos + '/';
        if (!folder.isEmpty()) {
            path += folder + '/';
            ::mkdir(path.constData(), 0755);
        }
        path += file;
        const QByteArray jpeg = PictureFiles::JpegBytes(TestPictures::Quadrants(64, 48));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        EXPECT_TRUE(fd >= 0 && ::write(fd, jpeg.constData(), size_t(jpeg.size())) == jpeg.size())
            << path.data();
        EXPECT_EQ(::close(fd), 0);
        return path;
    }

    Finished make(const char *album, const QList<QByteArray> &pictures) const
    {
        QList<QByteArray> line{"make", GetParam().name, "-o",
                               QFile::encodeName(work.filePath(QLatin1String(album)))};
        if (GetParam().showsTitle)
            line << "-t"
                 << "Holiday";
        return RunGalvora(line + QList<QByteArray>{"--quiet", "--"} + pictures, work.path());
    }
};

// Every name Qt can open goes into one album beside plain ones; a name it cannot (not UTF-8) ends
// the run with no page.
TEST_P(HostileNamesCommandLineTest, ThePageHasItsOwnElementsAndScriptAndShowsTheNamesAsText)
{
    QList<QByteArray> plain, hostile;
    const QByteArray first = writeJpeg({}, "first.jpg");
    for (const HostileName &name : HostileNames()) {
        const QByteArray path = writeJpeg(name.folder, name.file);
        if (!QtCanName(path)) {
            SCOPED_TRACE(name.name);
            const Finished refused = make("refused", {first, path});
            EXPECT_NE(refused.status, 0);
            EXPECT_TRUE(refused.err.contains(QFile::encodeName(QFile::decodeName(path))))
                << "names the picture";
            EXPECT_FALSE(QFile::exists(work.filePath(QStringLiteral("refused/index.html"))));
            continue;
        }
        hostile << path;
        plain << writeJpeg({}, "plain" + QByteArray::number(plain.size() + 1) + ".jpg");
    }
    ASSERT_GE(hostile.size(), 10);
    const Finished plainRun = make("plain", plain);
    ASSERT_EQ(plainRun.status, 0) << plainRun.err.toStdString();
    const Finished hostileRun = make("hostile", hostile);
    ASSERT_EQ(hostileRun.status, 0) << hostileRun.err.toStdString();

    const QStringList pictures = QDir(work.filePath(QStringLiteral("hostile/images")))
                                     .entryList(QDir::Files | QDir::Hidden | QDir::System);
    static const QRegularExpression plainName(QStringLiteral("^picture\\d+\\.(jpg|jpeg)$"));
    EXPECT_EQ(pictures.filter(plainName), pictures);
    EXPECT_EQ(pictures.size(), hostile.size());
    const QString page = work.filePath(QStringLiteral("hostile/index.html"));
    if (!GetParam().makesPage) {
        EXPECT_FALSE(QFile::exists(page));
        return;
    }
    const QByteArray plainPage = PictureFiles::ReadBytes(work.filePath(QStringLiteral("plain/index.html")));
    const QByteArray hostilePage = PictureFiles::ReadBytes(page);
    for (qsizetype i = 0; i < hostile.size(); ++i) {
        SCOPED_TRACE(QFile::decodeName(hostile[i]).toStdString());
        ExpectNameOnlyAsText(plainPage, hostilePage, QFile::decodeName(plain[i]),
                             QFile::decodeName(hostile[i]));
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, HostileNamesCommandLineTest,
                         ::testing::ValuesIn(ProductionKinds().begin(), ProductionKinds().end()),
                         [](const auto &row) {
                             QByteArray name(row.param.name);
                             return name.replace('-', '_').toStdString();
                         });

} // namespace
