#include "ui/About.h"

#include <QLabel>
#include <QPushButton>

#include "ui/Artwork.h"

namespace {
QRect tw(int left, int top, int width, int height) {
    return QRect(qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0), qRound(height / 15.0));
}
}  // namespace

About::About() : QWidget(nullptr, Qt::Dialog) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About ........"));
    setWindowIcon(Artwork::icon());
    setFixedSize(tw(0, 0, 4725, 3900).size());
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    Label1_0 = new QLabel(QStringLiteral("TARVANE / US State Plane      co-ordinate calculator"), this);
    Label1_0->setObjectName(QStringLiteral("Label1(0)"));
    Label1_0->setGeometry(tw(120, 120, 4575, 855));
    Label1_0->setWordWrap(true);
    Label1_0->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont title = font();
    title.setPixelSize(22);
    Label1_0->setFont(title);

    lblVersion = new QLabel(QStringLiteral("lblVersion"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(tw(1800, 1080, 675, 195));

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(tw(960, 1320, 2535, 1455));
    Picture1->setPixmap(Artwork::logo(Picture1->size(), devicePixelRatio()));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(tw(1680, 3360, 1215, 495));
    connect(cmdOK, &QPushButton::clicked, this, &About::cmdOK_Click);
}

void About::Form_Load(const QWidget& mainWindow) {
    const QRect main = mainWindow.frameGeometry();
    // Before its first showing the box has no frame yet; assume the main
    // window's frame around it.
    QSize outer = frameGeometry().size();
    if (!testAttribute(Qt::WA_WState_Created) || outer == size())
        outer = size() + (mainWindow.frameGeometry().size() - mainWindow.geometry().size());
    move(main.left() + main.width() / 2 - outer.width() / 2, main.top() + main.height() / 2 - outer.height() / 2);

    lblVersion->setText(QStringLiteral("Version 1.01  Date 03.06.1999"));
    lblVersion->resize(lblVersion->fontMetrics().horizontalAdvance(lblVersion->text()), lblVersion->height());
}

void About::cmdOK_Click() { close(); }
