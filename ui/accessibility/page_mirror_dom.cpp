#include "page_mirror_dom.h"

#include "form1.h"
#include "page_mirror.h"

#include <QCoreApplication>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <map>
#include <string>

namespace vostrel {
namespace {

using emscripten::val;

const QString kIdPrefix = QStringLiteral("vostrel-");

val document() {
    return val::global("document");
}

val text(const QString& value) {
    return val(value.toStdString());
}

val elementOf(const QString& id) {
    return document().call<val>("getElementById", text(kIdPrefix + id));
}

// The control a page element stands for: the element's id without the prefix.
QString controlId(const val& event) {
    const QString id = QString::fromStdString(event["currentTarget"]["id"].as<std::string>());
    return id.startsWith(kIdPrefix) ? id.mid(kIdPrefix.size()) : QString();
}

bool isElement(const val& element) {
    return !element.isNull() && !element.isUndefined();
}

// Qt's screen on the page: the element Qt puts into the container its loader handed it, which holds the
// window (its canvas and Qt's other elements in a shadow tree of their own).
val findScreen() {
    const val elements = val::module_property("qtContainerElements");
    if (!isElement(elements) || elements["length"].as<int>() < 1)
        return val::undefined();
    return elements[0]["firstElementChild"];
}

// The text field Qt puts into the page's body and focuses with every control that takes Qt's focus, so that
// keys, the clipboard and a phone's keyboard reach the window. It has no name of its own.
val findQtTextInput() {
    return document()["body"].call<val>("querySelector", val(":scope > input"));
}

void setStyle(val element, const char* property, const QString& value) {
    element["style"].set(property, text(value));
}

QString px(double value) {
    return QString::number(value) + QLatin1String("px");
}

// The mirror's elements in the page, kept in step with the window.
class PageMirrorDom : public QObject {
public:
    explicit PageMirrorDom(Form1& window)
        : QObject(&window)
        , window_(window)
        , mirror_(new PageMirror(window)) {
        current = this;
        build();
        connect(mirror_, &PageMirror::focusMoved, this, &PageMirrorDom::focusNode);
        connect(mirror_, &PageMirror::valueChanged, this,
                [](const QString& id, const QString& value) { elementOf(id).set("value", text(value)); });
        connect(mirror_, &PageMirror::caretMoved, this, [](const QString& id, int start, int end) {
            val field = elementOf(id);
            if (isElement(field))
                field.call<void>("setSelectionRange", val(start), val(end));
        });
        connect(mirror_, &PageMirror::announced, this, &PageMirrorDom::announce);
        connect(mirror_, &PageMirror::geometryChanged, this, &PageMirrorDom::place);
        connect(qApp, &QCoreApplication::aboutToQuit, this, &PageMirrorDom::remove);
        place();
        // The page starts where Qt's focus starts (H), unless its user is already elsewhere on the page.
        const val active = document()["activeElement"];
        if (active.isNull() || active.equals(document()["body"]) || active.equals(screen_) ||
            active.equals(qtInput_))
            focusNode(mirror_->focusedId());
    }
    ~PageMirrorDom() override {
        remove();
        if (current == this)
            current = nullptr;
    }

    static PageMirrorDom* current;
    PageMirror& mirror() { return *mirror_; }

    // The window or Qt's text field took the page's focus (a click, or Qt's focus moving): it goes on to the
    // control that now has Qt's focus, so that a screen reader follows, and keys go on through the mirror.
    // A box keeps Qt's text field focused, though: there typing, the browser's clipboard keys and a phone's
    // keyboard reach Qt as they are.
    void windowFocused() {
        const QString id = mirror_->focusedId();
        const auto& nodes = mirror_->nodes();
        const auto node =
            std::find_if(nodes.begin(), nodes.end(), [&id](const MirrorNode& n) { return n.id == id; });
        if (node != nodes.end() && node->kind == MirrorNode::Kind::Button)
            focusNode(id);
    }

    // Each node over its control, so that a screen reader's outline falls on the control: the screen shows
    // the whole window, scaled to the page, and the nodes are scaled with it.
    void place() {
        if (!isElement(layer_) || !isElement(screen_))
            return;
        takeOffersOutOfTabOrder();
        const double width = screen_["clientWidth"].as<double>();
        setStyle(layer_, "left", px(screen_["offsetLeft"].as<double>()));
        setStyle(layer_, "top", px(screen_["offsetTop"].as<double>()));
        setStyle(layer_, "width", px(width));
        setStyle(layer_, "height", px(screen_["clientHeight"].as<double>()));
        if (window_.width() <= 0)
            return;
        const double scale = width / window_.width(); // CSS pixels to the window's pixel
        // The rects are in screen coordinates, and the screen moves on the page with its size.
        mirror_->updateRects();
        const QPoint origin = window_.mapToGlobal(QPoint(0, 0));
        for (const MirrorNode& node : mirror_->nodes()) {
            val element = elementOf(node.id);
            if (!isElement(element))
                continue;
            const QRect rect = node.rect.translated(-origin);
            setStyle(element, "left", px(rect.x() * scale));
            setStyle(element, "top", px(rect.y() * scale));
            setStyle(element, "width", px(rect.width() * scale));
            setStyle(element, "height", px(rect.height() * scale));
        }
    }

    void remove() {
        if (isElement(layer_) && isElement(layer_["parentElement"]))
            layer_["parentElement"].call<void>("removeChild", layer_);
        for (val element : {screen_, qtInput_})
            if (isElement(element))
                element.call<void>("removeAttribute", val("aria-hidden"));
    }

private:
    void build() {
        screen_ = findScreen();
        if (!isElement(screen_))
            return;
        // The window is drawn, not read: the mirror tells what it shows. That holds Qt's own offer to read
        // the window, a button that would double every control, and Qt's unnamed text field too; the offer
        // leaves the tab order.
        screen_.call<void>("setAttribute", val("aria-hidden"), val("true"));
        screen_.call<void>("addEventListener", val("focusin"), val::module_property("vostrelWindowFocus"));
        qtInput_ = findQtTextInput();
        if (isElement(qtInput_)) {
            qtInput_.call<void>("setAttribute", val("aria-hidden"), val("true"));
            qtInput_.call<void>("addEventListener", val("focus"), val::module_property("vostrelWindowFocus"));
        }
        val parent = screen_["parentElement"];
        if (val::global("window").call<val>("getComputedStyle", parent)["position"].as<std::string>() ==
            "static")
            setStyle(parent, "position", QStringLiteral("relative")); // places the layer over the window

        // A program started again on the same page finds the mirror of the one before.
        val stale = elementOf(QStringLiteral("mirror"));
        if (isElement(stale))
            stale["parentElement"].call<void>("removeChild", stale);
        layer_ = document().call<val>("createElement", val("div"));
        layer_.set("id", text(kIdPrefix + QLatin1String("mirror")));
        // Read by assistive technology, never seen, and no obstacle to the pointer, which the window takes.
        layer_.call<void>("setAttribute", val("style"),
                          val("position:absolute;overflow:hidden;opacity:0;pointer-events:none;margin:0;"
                              "padding:0;border:0;z-index:1"));
        std::map<QString, QString> descriptions; // one element per description, for every button that has it
        for (const MirrorNode& node : mirror_->nodes()) {
            val element = makeElement(node);
            if (!node.description.isEmpty()) {
                auto [found, added] =
                    descriptions.try_emplace(node.description, kIdPrefix + QLatin1String("description") +
                                                                   QString::number(descriptions.size()));
                if (added) {
                    val holder = document().call<val>("createElement", val("div"));
                    holder.set("id", text(found->second));
                    holder.set("hidden", val(true));
                    holder.set("textContent", text(node.description));
                    layer_.call<void>("appendChild", holder);
                }
                element.call<void>("setAttribute", val("aria-describedby"), text(found->second));
            }
            layer_.call<void>("appendChild", element);
        }
        live_ = document().call<val>("createElement", val("div"));
        live_.set("id", text(kIdPrefix + QLatin1String("announcement")));
        live_.call<void>("setAttribute", val("role"), val("status"));
        live_.call<void>("setAttribute", val("aria-live"), val("polite"));
        layer_.call<void>("appendChild", live_);
        parent.call<void>("appendChild", layer_);
        val::global("window").call<void>("addEventListener", val("resize"),
                                         val::module_property("vostrelPageResized"));
        // The page resizes the screen with the browser window, and also without it (its notice comes and
        // goes).
        const val observer = val::global("ResizeObserver");
        if (!observer.isUndefined())
            observer.new_(val::module_property("vostrelScreenResized")).call<void>("observe", screen_);
    }

    val makeElement(const MirrorNode& node) {
        val element = val::null();
        switch (node.kind) {
        case MirrorNode::Kind::Button:
            element = document().call<val>("createElement", val("button"));
            element.set("type", val("button"));
            element.call<void>("setAttribute", val("aria-label"), text(node.name));
            element.call<void>("addEventListener", val("click"), val::module_property("vostrelPageClick"));
            break;
        case MirrorNode::Kind::TextField:
            element = document().call<val>("createElement", val("input"));
            element.set("type", val("text"));
            element.set("readOnly", val(true)); // edited in the window, whose text it shows
            element.set("value", text(node.value));
            if (!node.labelledBy.isEmpty())
                element.call<void>("setAttribute", val("aria-labelledby"), text(kIdPrefix + node.labelledBy));
            else
                element.call<void>("setAttribute", val("aria-label"), text(node.name));
            break;
        case MirrorNode::Kind::Text:
            element = document().call<val>("createElement", val("div"));
            element.set("textContent", text(node.name));
            break;
        }
        element.set("id", text(kIdPrefix + node.id));
        element.call<void>("setAttribute", val("style"),
                           val("position:absolute;margin:0;padding:0;border:0;"
                               "box-sizing:border-box;overflow:hidden"));
        if (node.kind != MirrorNode::Kind::Text) {
            element.call<void>("addEventListener", val("focus"), val::module_property("vostrelPageFocus"));
            element.call<void>("addEventListener", val("keydown"), val::module_property("vostrelPageKey"));
            element.call<void>("addEventListener", val("keyup"), val::module_property("vostrelPageKey"));
        }
        return element;
    }

    // Qt puts its offer to read the window into each window as it first shows it.
    void takeOffersOutOfTabOrder() {
        const val shadow = screen_["shadowRoot"];
        if (!isElement(shadow))
            return;
        const val offers = shadow.call<val>("querySelectorAll", val(".qt-window-a11y-container > button"));
        for (int i = 0; i < offers["length"].as<int>(); ++i)
            offers[i].set("tabIndex", val(-1));
    }

    void focusNode(const QString& id) {
        if (id.isEmpty())
            return;
        val element = elementOf(id);
        if (!isElement(element) || element.equals(document()["activeElement"]))
            return;
        val options = val::object();
        options.set("preventScroll", val(true));
        element.call<void>("focus", options);
    }

    // A live region speaks a change of its text: the same element selected again must read differently,
    // so every other announcement ends in a no-break space, which no screen reader speaks.
    void announce(const QString& words) {
        if (!isElement(live_))
            return;
        alternate_ = !alternate_;
        live_.set("textContent", text(alternate_ ? words : words + QChar(0x00A0)));
    }

    Form1& window_;
    PageMirror* mirror_;
    val screen_ = val::undefined();
    val qtInput_ = val::undefined();
    val layer_ = val::undefined();
    val live_ = val::undefined();
    bool alternate_ = false;
};

PageMirrorDom* PageMirrorDom::current = nullptr;

void onPageFocus(val event) {
    if (PageMirrorDom* dom = PageMirrorDom::current)
        dom->mirror().focusFromPage(controlId(event));
}

void onPageClick(val event) {
    if (PageMirrorDom* dom = PageMirrorDom::current)
        dom->mirror().activateFromPage(controlId(event));
}

void onPageKey(val event) {
    PageMirrorDom* dom = PageMirrorDom::current;
    if (!dom)
        return;
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, event["shiftKey"].as<bool>());
    modifiers.setFlag(Qt::ControlModifier, event["ctrlKey"].as<bool>());
    modifiers.setFlag(Qt::AltModifier, event["altKey"].as<bool>());
    modifiers.setFlag(Qt::MetaModifier, event["metaKey"].as<bool>());
    const QString key = QString::fromStdString(event["key"].as<std::string>());
    const bool released = event["type"].as<std::string>() == "keyup";
    if (dom->mirror().keyFromPage(key, modifiers, released)) {
        event.call<void>("preventDefault"); // no click of the page's own from Enter or Space, no tabbing away
        event.call<void>("stopPropagation");
    }
}

void onWindowFocus(val) {
    if (PageMirrorDom* dom = PageMirrorDom::current)
        dom->windowFocused();
}

void onPageResized(val) {
    if (PageMirrorDom* dom = PageMirrorDom::current)
        dom->place();
}

void onScreenResized(val entries, val) {
    onPageResized(entries);
}

} // namespace

void mirrorWindowIntoPage(Form1& window) {
    new PageMirrorDom(window);
}

void takeMirrorOffPage() {
    if (PageMirrorDom* dom = PageMirrorDom::current)
        dom->remove();
}

} // namespace vostrel

EMSCRIPTEN_BINDINGS(vostrel_page_mirror) {
    emscripten::function("vostrelPageFocus", &vostrel::onPageFocus);
    emscripten::function("vostrelPageClick", &vostrel::onPageClick);
    emscripten::function("vostrelPageKey", &vostrel::onPageKey);
    emscripten::function("vostrelWindowFocus", &vostrel::onWindowFocus);
    emscripten::function("vostrelPageResized", &vostrel::onPageResized);
    emscripten::function("vostrelScreenResized", &vostrel::onScreenResized);
}
