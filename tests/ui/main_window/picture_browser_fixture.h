#pragma once

#include "app/volume_source.h"
#include "support/find_child.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

inline std::string Joined(const QStringList &list)
{
    return list.join(QLatin1Char('|')).toStdString();
}

inline std::string Texts(const QListWidget &list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return Joined(texts);
}

// The real main window with its browser, over volumes the test makes up.
class BrowserTest : public WindowTest
{
  protected:
    QTemporaryDir drive; // a folder that plays a drive
    FakeVolumes volumes;
    std::unique_ptr<MainWindow> window;

    void open()
    {
        MainWindowServices s = services();
        s.volumes = &volumes;
        window = std::make_unique<MainWindow>(s);
    }

    template <typename T> T &control(const char *name) { return FindChild<T>(*window, name); }
    QListWidget &dir1() { return control<QListWidget>("Dir1"); }
    QListWidget &file1() { return control<QListWidget>("File1"); }
    QListWidget &list1() { return control<QListWidget>("List1"); }
    QListWidget &list2() { return control<QListWidget>("List2"); }
    std::string fotoAantal() { return control<QLabel>("FotoAantal").text().toStdString(); }
    std::string selectAantal() { return control<QLabel>("SelectAantal").text().toStdString(); }
    void press(const char *button) { control<QPushButton>(button).click(); }

    void chooseDrive(const QString &root)
    {
        auto &drive1 = control<QComboBox>("Drive1");
        ASSERT_GE(drive1.findData(root), 0) << root.toStdString();
        drive1.setCurrentIndex(drive1.findData(root));
    }

    // An empty file is enough where nothing reads the picture.
    static void touch(const QString &path)
    {
        ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly)) << path.toStdString();
    }

    void markFiles(std::initializer_list<int> rows)
    {
        file1().clearSelection();
        for (int row : rows)
            file1().item(row)->setSelected(true);
    }

    // What a real double-click delivers: press, release, double-click, release.
    static void doubleClick(QListWidget &list, QListWidgetItem *item, Qt::KeyboardModifiers keys = {})
    {
        ASSERT_NE(item, nullptr);
        const QPoint at = list.visualItemRect(item).center();
        QTest::mousePress(list.viewport(), Qt::LeftButton, keys, at);
        QTest::mouseRelease(list.viewport(), Qt::LeftButton, keys, at);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, keys, at);
        QTest::mouseRelease(list.viewport(), Qt::LeftButton, keys, at);
    }
};
