// Pictures with hostile names through every production, as the window makes them: each page has
// the elements and the script of the same page made with plain names, and shows the names as text.
#include "app/production.h"
#include "shared/production_kinds.h"
#include "support/fake_host.h"
#include "support/hostile_names.h"

#include <QDir>
#include <QTemporaryDir>

namespace
{

class HostileNamesTest : public ::testing::TestWithParam<ProductionKind>
{
  protected:
    QTemporaryDir dir;

    ProductionResult produce(const char *folder, const QList<QByteArray> &paths) const
    {
        FakeHost feedback;
        feedback.folder = dir.path();
        for (const QByteArray &path : paths) // decoded as the window and the command line decode them
            feedback.select(QFile::decodeName(path));
        ProductionRequest request = feedback.request(QLatin1String(folder), QStringLiteral("index"));
        request.settings = {GetParam().pageStyle, 40, 30, 3, 12, 90};
        return Produce(request, feedback);
    }
};

TEST_P(HostileNamesTest, ThePageHasItsOwnElementsAndScriptAndShowsTheNamesAsText)
{
    ASSERT_TRUE(dir.isValid());
    const HostileFiles files = WriteHostileFiles(QFile::encodeName(dir.filePath(QStringLiteral("fotos"))));
    ASSERT_GE(files.hostile.size(), 10);
    ASSERT_FALSE(files.unnameable.isEmpty());
    const ProductionResult plain = produce("Plain", files.plain);
    ASSERT_TRUE(plain.done()) << plain.message.toStdString();
    const ProductionResult hostile = produce("Hostile", files.hostile);
    ASSERT_TRUE(hostile.done()) << hostile.message.toStdString();

    const QStringList pictures = QDir(dir.filePath(QStringLiteral("Hostile/images")))
                                     .entryList(QDir::Files | QDir::Hidden | QDir::System);
    static const QRegularExpression plainName(QStringLiteral("^picture\\d+\\.(jpg|jpeg)$"));
    EXPECT_EQ(pictures.filter(plainName), pictures);
    EXPECT_EQ(pictures.size(), files.hostile.size());
    const QString page = dir.filePath(QStringLiteral("Hostile/index.html"));
    EXPECT_EQ(QFile::exists(page), GetParam().makesPage);
    if (GetParam().makesPage)
        ExpectNamesOnlyAsText(PictureFiles::ReadBytes(dir.filePath(QStringLiteral("Plain/index.html"))),
                              PictureFiles::ReadBytes(page), files);

    for (const QByteArray &path : files.unnameable) {
        const ProductionResult refused = produce("Refused", {files.plain[0], path});
        EXPECT_TRUE(refused.abandoned());
        EXPECT_TRUE(refused.message.startsWith(QStringLiteral("Picture ") + QFile::decodeName(path) +
                                               QStringLiteral(" could not be read: ")))
            << refused.message.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("Refused/index.html"))));
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, HostileNamesTest,
                         ::testing::ValuesIn(ProductionKinds().begin(), ProductionKinds().end()),
                         [](const auto &row) {
                             return QByteArray(row.param.name).replace('-', '_').toStdString();
                         });

} // namespace
