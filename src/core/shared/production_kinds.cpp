#include "shared/production_kinds.h"

#include "shared/program_values.h"

#include <array>

namespace
{

ProductionKind Kind(std::uint8_t pageStyle, const char *name, const char *caption)
{
    ProductionKind kind{pageStyle, name, caption};
    return kind;
}

ProductionKind Sized(ProductionKind kind, std::int32_t width, std::int32_t height)
{
    kind.presetWidth = width;
    kind.presetHeight = height;
    return kind;
}

const std::array<ProductionKind, 8> &Kinds()
{
    static const std::array<ProductionKind, 8> kinds = [] {
        ProductionKind pictureShow = Kind(PageStyles::PictureShow, "picture-show", "Picture Show");
        pictureShow.showsTitle = true;
        ProductionKind slideShow = Kind(PageStyles::SlideShow, "slide-show", "Slide Show");
        slideShow.takesDelay = true;
        ProductionKind blockEffect =
            Sized(Kind(PageStyles::BlockEffect, "block-effect", "Block effect"), 300, 200);
        blockEffect.takesBlock = true;
        ProductionKind album1 =
            Sized(Kind(PageStyles::Photoalbum1, "photoalbum-1", "Photoalbum 1"), 360, 270);
        album1.showsTitle = true;
        ProductionKind album2 =
            Sized(Kind(PageStyles::Photoalbum2, "photoalbum-2", "Photoalbum 2"), 360, 270);
        album2.showsTitle = true;
        ProductionKind resize =
            Sized(Kind(PageStyles::ResizePictures, "resize", "Resize pictures"), 300, 200);
        resize.makesPage = false;
        ProductionKind webAlbum = Sized(Kind(PageStyles::WebAlbum, "web-album", "Web album"), 1600, 1200);
        webAlbum.showsTitle = true;
        return std::array<ProductionKind, 8>{
            pictureShow, slideShow, Sized(Kind(PageStyles::Thumbnails, "thumbnails", "Thumbnails"), 160, 120),
            blockEffect, album1,    album2,
            resize,      webAlbum};
    }();
    return kinds;
}

} // namespace

std::span<const ProductionKind> ProductionKinds()
{
    return Kinds();
}

const ProductionKind *KindOfPageStyle(std::uint8_t pageStyle)
{
    for (const ProductionKind &kind : Kinds())
        if (kind.pageStyle == pageStyle)
            return &kind;
    return nullptr;
}

const ProductionKind *KindNamed(const QString &name)
{
    for (const ProductionKind &kind : Kinds())
        if (name == QLatin1String(kind.name))
            return &kind;
    return nullptr;
}

QStringList KindNames(bool (*wanted)(const ProductionKind &))
{
    QStringList names;
    for (const ProductionKind &kind : Kinds())
        if (!wanted || wanted(kind))
            names << kind.commandName();
    return names;
}

QString SpokenList(const QStringList &names)
{
    if (names.size() < 2)
        return names.join(QString());
    return names.first(names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + names.last();
}
