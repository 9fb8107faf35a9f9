#include "html_pages/web_album_page.h"

#include "html_pages/page_escaping.h"
#include "html_pages/page_file.h"
#include "html_pages/page_writing.h"
#include "shared/output_names.h"

#include <cmath>

namespace
{

// The first rows of the grid are fetched at once, and first; the pictures after them are lazy.
constexpr int FirstPictures = 6;

// How wide a grid picture is drawn, for the browser's choice between the small and the large file.
const QString GridSizes = QStringLiteral("(min-width:40rem) 16rem,33vw");

// The style sheet; BACKGROUND and TEXT are the page's colours.
const char *const StyleSheet = R"(*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%}
body{margin:0 auto;max-width:120rem;padding:.75rem;background:BACKGROUND;color:TEXT;font:1rem/1.4 system-ui,sans-serif}
h1{font-size:1.5rem;margin:0 0 .75rem;overflow-wrap:anywhere}
#g{list-style:none;margin:0;padding:0;display:grid;gap:1rem .5rem;grid-template-columns:repeat(auto-fill,minmax(6.5rem,1fr))}
@media (min-width:40rem){#g{grid-template-columns:repeat(auto-fill,minmax(12rem,1fr))}}
#g a{display:block;color:inherit}
#g img{display:block;width:100%;height:auto}
#g p{margin:.25rem 0 0;font-size:.875rem;overflow-wrap:anywhere}
a:focus-visible,button:focus-visible{outline:3px solid TEXT;outline-offset:2px}
body:has(#v[open]){overflow:hidden}
#v{width:100%;height:100%;max-width:none;max-height:none;margin:0;padding:0;border:0;background:#111;color:#fff}
#v[open]{display:flex;flex-direction:column}
#vf{flex:1;min-height:0;display:flex;align-items:center;justify-content:center}
#vf img{max-width:100%;max-height:100%;object-fit:contain}
#vc{padding:0 .75rem;text-align:center;overflow-wrap:anywhere}
#vc p{margin:.25rem 0}
#vb{display:flex;align-items:center;justify-content:center;gap:.75rem;padding:.25rem .25rem .75rem}
#v button{min-width:3rem;min-height:3rem;font-size:1.75rem;line-height:1;border:0;border-radius:.5rem;background:#333;color:#fff;cursor:pointer}
#v button:focus-visible{outline-color:#fff}
#vk{min-width:5em;text-align:center}
#vx{position:absolute;top:.5rem;right:.5rem})";

// Holds the lazy pictures back, as the parser adds them, before the browser decides to fetch them:
// left to itself it fetches a lazy picture some 1250 pixels before it is near the screen, which
// makes a long album's first view several times larger. A held picture is fetched once the first
// rows have loaded and it comes within half a screen. Its width and height keep its place
// meanwhile, so nothing moves; without script the browser's own lazy loading does the work.
const char *const HoldingScript = R"((function () {
  if (!('IntersectionObserver' in window)) return;
  var d = document, loaded = false, held = [], io = new IntersectionObserver(function (es) {
    es.forEach(function (e) {
      if (!e.isIntersecting) return;
      var i = e.target;
      io.unobserve(i);
      if (i.dataset.s) i.srcset = i.dataset.s;
      i.src = i.dataset.u;
    });
  }, { rootMargin: '50% 0px' });
  function hold(i) {
    if ('u' in i.dataset) return; // met again in its parent's record
    i.dataset.u = i.getAttribute('src');
    i.dataset.s = i.getAttribute('srcset') || '';
    i.removeAttribute('srcset');
    i.removeAttribute('src');
    if (loaded) io.observe(i); else held.push(i);
  }
  function added(ms) {
    ms.forEach(function (m) {
      m.addedNodes.forEach(function (n) {
        if (n.nodeType !== 1) return;
        if (n.matches('img[loading=lazy]')) hold(n);
        n.querySelectorAll('img[loading=lazy]').forEach(hold);
      });
    });
  }
  var mo = new MutationObserver(added);
  mo.observe(d.documentElement, { childList: true, subtree: true });
  d.addEventListener('DOMContentLoaded', function () { added(mo.takeRecords()); mo.disconnect(); });
  addEventListener('load', function () {
    loaded = true;
    held.forEach(function (i) { io.observe(i); });
  });
})();)";

// The viewer. It reads everything it shows from the grid's own elements, so no text of a picture
// ever stands in the script. Each picture has its own address (#N); opening the viewer adds one
// step to the history, so the browser's back button closes it.
const char *const ViewerScript = R"((function () {
  var d = document, links = [].slice.call(d.querySelectorAll('#g a')), v = d.getElementById('v'),
    vf = d.getElementById('vf'), vc = d.getElementById('vc'), vk = d.getElementById('vk'),
    vi = new Image(), cur = 0, pushed = false, byAddress = false, ahead = [], x0 = null;
  vf.appendChild(vi);
  function wanted() {
    var m = /^#(\d+)$/.exec(location.hash), n = m ? +m[1] : 0;
    return n >= 1 && n <= links.length ? n : 0;
  }
  function show(n) {
    var a = links[n - 1];
    cur = n;
    vi.src = a.href;
    vi.alt = a.firstChild.alt;
    vc.replaceChildren(a.nextSibling.cloneNode(true));
    vk.textContent = n + ' / ' + links.length;
    ahead = [n - 1, n + 1].filter(function (k) { return k >= 1 && k <= links.length; })
      .map(function (k) { var i = new Image(); i.src = links[k - 1].href; return i; });
    if (!v.open) {
      v.showModal();
      d.getElementById('vx').focus();
    }
  }
  function go(n) {
    if (n < 1 || n > links.length || n === cur) return;
    history.replaceState(null, '', '#' + n);
    show(n);
  }
  function sync() {
    var n = wanted();
    if (n) show(n); else if (v.open) { pushed = false; byAddress = true; v.close(); }
  }
  links.forEach(function (a, i) {
    a.addEventListener('click', function (e) {
      if (e.button || e.ctrlKey || e.metaKey || e.shiftKey || e.altKey) return;
      e.preventDefault();
      history.pushState(null, '', '#' + (i + 1));
      pushed = true;
      show(i + 1);
    });
  });
  // The close event comes a task later: by then the address may have moved on, or the viewer may
  // be open again, and a close the address asked for needs no step in the history.
  v.addEventListener('close', function () {
    var quiet = byAddress;
    byAddress = false;
    if (v.open) return;
    if (!quiet && wanted()) {
      if (pushed) history.back(); else history.replaceState(null, '', location.pathname + location.search);
    }
    pushed = false;
    if (cur) links[cur - 1].focus();
  });
  v.addEventListener('keydown', function (e) {
    var n = { ArrowRight: cur + 1, ArrowLeft: cur - 1, Home: 1, End: links.length }[e.key];
    if (n) { e.preventDefault(); go(n); }
  });
  v.addEventListener('touchstart', function (e) {
    x0 = e.touches.length === 1 ? e.touches[0].clientX : null;
  }, { passive: true });
  v.addEventListener('touchend', function (e) {
    if (x0 === null) return;
    var dx = e.changedTouches[0].clientX - x0;
    x0 = null;
    if (Math.abs(dx) > 40) go(dx < 0 ? cur + 1 : cur - 1);
  });
  d.getElementById('vp').addEventListener('click', function () { go(cur - 1); });
  d.getElementById('vn').addEventListener('click', function () { go(cur + 1); });
  d.getElementById('vx').addEventListener('click', function () { v.close(); });
  addEventListener('popstate', sync);
  sync();
})();)";

// Relative luminance of an sRGB colour, as contrast ratios are worked out.
double Luminance(const QColor &colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
           0.0722 * channel(colour.blue());
}

QString DateText(const QDateTime &taken)
{
    return taken.isValid() ? taken.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QStringList Lines(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char('\n'));
}

QString PictureItem(const WebAlbumPicture &picture, int number)
{
    const QString n = QString::number(number);
    const QString large = QStringLiteral("images/picture") + n + QStringLiteral(".jpg");
    const QString small = QStringLiteral("images/small/picture") + n + QStringLiteral(".jpg");
    const QString description = picture.caption.description.trimmed();
    QString item = QStringLiteral("<li><a href=\"") + large + QStringLiteral("\"><img src=\"") + small + '"';
    if (picture.large.width() > picture.small.width())
        item += QStringLiteral(" srcset=\"") + small + QLatin1Char(' ') +
                QString::number(picture.small.width()) + QStringLiteral("w,") + large + QLatin1Char(' ') +
                QString::number(picture.large.width()) + QStringLiteral("w\" sizes=\"") + GridSizes + '"';
    item += QStringLiteral(" width=\"") + QString::number(picture.small.width()) +
            QStringLiteral("\" height=\"") + QString::number(picture.small.height()) +
            QStringLiteral("\" alt=\"") + WebAlbumText(description.isEmpty() ? picture.name : description) +
            '"';
    if (number > FirstPictures)
        item += QStringLiteral(" loading=\"lazy\"");
    item += QStringLiteral("></a><p>");
    if (!description.isEmpty())
        item += WebAlbumText(description) + QStringLiteral("<br>");
    return item + DateText(picture.caption.taken) + QStringLiteral("</p></li>");
}

} // namespace

QString WebAlbumTextColour(const QColor &background)
{
    const double l = Luminance(background);
    const double onBlack = (l + 0.05) / 0.05, onWhite = 1.05 / (l + 0.05);
    return onBlack >= onWhite ? QStringLiteral("#000000") : QStringLiteral("#FFFFFF");
}

QString WebAlbumText(const QString &text)
{
    return PageText(text);
}

QStringList WebAlbumPageLines(const ProductionRequest &request, const QList<WebAlbumPicture> &pictures)
{
    const QString title =
        WebAlbumText(request.title.trimmed().isEmpty() ? request.folder : request.title.trimmed());
    const QString background = PageColourText(request);
    QString style = QString::fromLatin1(StyleSheet);
    style.replace(QStringLiteral("BACKGROUND"), background)
        .replace(QStringLiteral("TEXT"), WebAlbumTextColour(request.pageColour));

    QStringList lines{
        QStringLiteral("<!DOCTYPE html>"),
        QStringLiteral("<html lang=\"en\">"),
        QStringLiteral("<head>"),
        QStringLiteral("<meta charset=\"utf-8\">"),
        QStringLiteral("<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"),
        QStringLiteral("<title>") + title + QStringLiteral("</title>"),
        QStringLiteral("<meta name=\"generator\" content=\"Galvora\">"),
        QStringLiteral("<link rel=\"icon\" href=\"data:,\">"),
        QStringLiteral("<style>"),
    };
    lines << style.split(QLatin1Char('\n')) << QStringLiteral("</style>") << QStringLiteral("<script>")
          << Lines(HoldingScript) << QStringLiteral("</script>") << QStringLiteral("</head>")
          << QStringLiteral("<body>") << QStringLiteral("<main>")
          << QStringLiteral("<h1>") + title + QStringLiteral("</h1>") << QStringLiteral("<ol id=\"g\">");
    int number = 0;
    for (const WebAlbumPicture &picture : pictures) {
        ++number;
        if (picture.written)
            lines << PictureItem(picture, number);
    }
    lines << QStringLiteral("</ol>") << QStringLiteral("</main>")
          << QStringLiteral("<dialog id=\"v\" aria-label=\"Picture viewer\">")
          << QStringLiteral("<div id=\"vf\"></div>") << QStringLiteral("<div id=\"vc\"></div>")
          << QStringLiteral("<div id=\"vb\"><button id=\"vp\" type=\"button\" aria-label=\"Previous "
                            "picture\">&#8249;</button><span id=\"vk\"></span><button id=\"vn\" "
                            "type=\"button\" aria-label=\"Next picture\">&#8250;</button></div>")
          << QStringLiteral("<button id=\"vx\" type=\"button\" aria-label=\"Close\">&#215;</button>")
          << QStringLiteral("</dialog>") << QStringLiteral("<script>") << Lines(ViewerScript)
          << QStringLiteral("</script>") << QStringLiteral("</body>") << QStringLiteral("</html>");
    return lines;
}

ProductionResult WriteWebAlbumPage(const ProductionRequest &request, Host &host, std::int32_t width,
                                   std::int32_t height)
{
    WebAlbumPictures made = MakeWebAlbumPictures(request, host, QSize(width, height));
    if (!made.result.done())
        return made.result;
    return WriteAndFinishWholePage(request, host, WebAlbumPageLines(request, made.pictures),
                                   std::move(made.result));
}
