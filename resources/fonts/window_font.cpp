#include "window_font.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLatin1String>
#include <QResource>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <iterator>

namespace vostrel {
namespace {

constexpr const char* kSubstituteFaces[] = {":/fonts/NorasiUPC.ttf", ":/fonts/NorasiUPC-Bold.ttf"};

bool registerFace(const char* resource) {
    // Handed over as the resource's own bytes: given the path, Qt would read the face into memory once
    // to register it and once more for each font made from it.
    const int id = QFontDatabase::addApplicationFontFromData(
        QResource(QString::fromLatin1(resource)).uncompressedData());
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

// The family the window's fonts name, once the substitute is installed.
QString& chosenFamily() {
    static QString family = QLatin1String(kWindowFontFamily);
    return family;
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
    // The window names the substitute itself: a request for a family that is not there makes Qt ask
    // fontconfig for fonts to fall back on first, a search that costs more than loading the font.
    chosenFamily() = QLatin1String(kWindowFontSubstituteFamily);
    // Anything else that names the window font gets the substitute as well. With one face missing
    // the other still serves both weights, if less well.
    QFont::insertSubstitution(windowFamily, chosenFamily());
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

const QString& windowFontFamily() {
    return chosenFamily();
}

} // namespace vostrel
