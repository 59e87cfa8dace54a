#include "DlgAbout.h"

#include "DlgLogo.h"
#include "Version.h"

#include "core/Services.h"
#include "widgets/HyperLink.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

DLG_About::DLG_About(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Velmora"));

    auto* picture = new QLabel(this);
    picture->setPixmap(SplashPicture(QSize(420, 200), QString()));

    auto* product =
        new QLabel(QStringLiteral("Velmora, version %1").arg(QString::fromLatin1(GetProgramVersion())), this);
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);

    company_ = new CHyperLink(this);
    company_->setObjectName(QStringLiteral("company"));
    company_->SetLink(QStringLiteral("Company : "), QStringLiteral("www.orrindale.com"),
                      QString::fromLatin1(kCompanyUrl));
    mail_ = new CHyperLink(this);
    mail_->setObjectName(QStringLiteral("mail"));
    mail_->SetLink(QStringLiteral("E-mail : "), QString::fromLatin1(kSupportAddress),
                   QStringLiteral("mailto:") + QString::fromLatin1(kSupportAddress));
    for (CHyperLink* link : {company_, mail_})
        connect(link, &CHyperLink::clicked, this,
                [](const QString& url) { Services::Shell().Open(url.toStdString()); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DLG_About::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addSpacing(6);
    layout->addWidget(product);
    layout->addWidget(company_);
    layout->addWidget(mail_);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
