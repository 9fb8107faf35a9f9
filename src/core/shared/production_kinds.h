#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

// The one list of what Galvora makes. The Convert dialog, the command line's parser and help, and
// (through their test) the man page and the bash completion all take the kinds from here.
struct ProductionKind {
    std::uint8_t pageStyle;                         // the Convert dialog's option index, PageStyle
    const char *name;                               // `galvora make NAME`
    const char *caption;                            // the Convert dialog's option
    std::int32_t presetWidth = 0, presetHeight = 0; // the size boxes' preset; 0 x 0 where the kind takes none
    bool takesDelay = false;                        // the Slide Show's seconds between the pictures
    bool takesBlock = false;                        // the Block effect's largest block
    bool takesQuality = true;                       // the JPEG quality of the pictures it converts
    bool showsTitle = false;                        // its page shows the page title
    bool makesPage = true;

    bool takesSize() const { return presetWidth > 0; }
    QString commandName() const { return QString::fromLatin1(name); }
};

// In the Convert dialog's order, which is the order of the page styles.
std::span<const ProductionKind> ProductionKinds();

// The kind of a page style or a command-line name; null for none.
const ProductionKind *KindOfPageStyle(std::uint8_t pageStyle);
const ProductionKind *KindNamed(const QString &name);

// The command-line names of the kinds for which `wanted` holds, in order.
QStringList KindNames(bool (*wanted)(const ProductionKind &) = nullptr);

// "a, b and c": names as a sentence lists them.
QString SpokenList(const QStringList &names);
