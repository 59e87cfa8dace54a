#pragma once

#include <QLabel>

// A caption followed by a link, drawn as a link and clickable. It opens nothing itself: the owner
// decides how a link is opened and connects to clicked.
class CHyperLink : public QLabel {
    Q_OBJECT
public:
    explicit CHyperLink(QWidget* parent = nullptr);

    // Shows "caption" followed by the link text; `url` is what clicked reports.
    void SetLink(const QString& caption, const QString& linkText, const QString& url);
    const QString& Url() const { return url_; }

signals:
    void clicked(const QString& url);

private:
    QString url_;
};
