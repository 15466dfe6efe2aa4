#include "window_font.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <iterator>

namespace vostrel {
namespace {

constexpr const char* kSubstituteFaces[] = {":/fonts/NorasiUPC.ttf", ":/fonts/NorasiUPC-Bold.ttf"};

bool registerFace(const char* resource) {
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(resource));
    if (id < 0) {
        qWarning("window font: Qt refused the substitute face %s", resource);
        return false;
    }
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.contains(QLatin1String(kWindowFontSubstituteFamily))) {
        qWarning("window font: the substitute face %s holds the family \"%s\", not \"%s\"", resource,
                 qPrintable(families.join(QLatin1String(", "))), kWindowFontSubstituteFamily);
        return false;
    }
    return true;
}

// Looks for a family of exactly this name: QFontDatabase::hasFamily() also answers yes when a
// fontconfig alias names another family for it, and listing every family to search the list costs
// more than looking up the one.
bool isInstalled(const QString& family) {
    return !QFontDatabase::styles(family).isEmpty();
}

bool install() {
    int registered = 0;
    for (const char* face : kSubstituteFaces)
        registered += registerFace(face) ? 1 : 0;

    const QString windowFamily = QLatin1String(kWindowFontFamily);
    if (isInstalled(windowFamily))
        return true;

    if (registered == 0) {
        qWarning("window font: \"%s\" is not installed and no substitute could be registered; "
                 "captions will not fit their controls",
                 kWindowFontFamily);
        return false;
    }
    // With one face missing the other still serves both weights, if less well.
    QFont::insertSubstitution(windowFamily, QLatin1String(kWindowFontSubstituteFamily));

    // Checked rather than trusted: anything that resolved the window font first would make every
    // caption overflow unnoticed.
    // Asked as the window asks for its font, so that the font loaded to answer is the one the window
    // then draws with; fonts to fall back on are not looked for (an expensive search).
    QFont windowFont(windowFamily);
    windowFont.setPointSizeF(kWindowFontPoints);
    windowFont.setWeight(QFont::Bold);
    windowFont.setStyleStrategy(QFont::NoFontMerging);
    const QString resolved = QFontInfo(windowFont).family();
    if (resolved != QLatin1String(kWindowFontSubstituteFamily)) {
        qWarning("window font: \"%s\" resolves to \"%s\", not to its substitute \"%s\"; "
                 "captions will not fit their controls",
                 kWindowFontFamily, qPrintable(resolved), kWindowFontSubstituteFamily);
        return false;
    }
    return registered == static_cast<int>(std::size(kSubstituteFaces));
}

} // namespace

bool installWindowFontSubstitute() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        qWarning("window font: the substitute is installed only once a QGuiApplication exists");
        return false;
    }
    static const bool installed = install();
    return installed;
}

} // namespace vostrel
