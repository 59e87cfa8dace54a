#include "HyperLink.h"

CHyperLink::CHyperLink(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    setOpenExternalLinks(false);
    connect(this, &QLabel::linkActivated, this, [this](const QString&) { emit clicked(url_); });
}

void CHyperLink::SetLink(const QString& caption, const QString& linkText, const QString& url) {
    url_ = url;
    setText(caption.toHtmlEscaped() + QStringLiteral("<a href=\"link\">") + linkText.toHtmlEscaped() +
            QStringLiteral("</a>"));
    setToolTip(url);
}
