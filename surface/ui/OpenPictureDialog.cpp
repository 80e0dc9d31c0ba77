// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/ui/OpenPictureDialog.h"

#include "surface/readers/PictureFile.h"
#include "base/PlanixError.h"
#include "surface/ui/PreviewPlacement.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <functional>
#include <optional>

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' '));
    }
    return filters;
}

namespace {

// The picture scaled to size; white where it is transparent. A picture that
// fails to decode gives a null image.
QImage renderedAt(const Picture& picture, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    try {
        picture.stretchDraw(image, QRect(QPoint(0, 0), size));
    } catch (const PlanixError&) {
        return QImage();
    }
    return image;
}

// The modal window "プレビュー": the picture stretched to the window, which
// starts at the picture's size (reduced to what the screen can show),
// centred on the screen. Esc closes it.
class PreviewWindow : public QDialog {
public:
    PreviewWindow(const Picture& picture, QWidget* parent) : QDialog(parent), picture(picture)
    {
        setWindowTitle(QStringLiteral("プレビュー"));
        const QRect available = screen()->availableGeometry();
        const QSize size = previewWindowSize(QSize(picture.width(), picture.height()), available.size());
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (shown.size() != size())
            shown = renderedAt(picture, size());
        QPainter(this).drawImage(0, 0, shown);
    }

private:
    Picture picture;
    QImage shown;
};

// Where the preview is drawn: the picture placed by previewPlacement, or
// "(なし)" centred. A click asks for the large preview.
class PreviewView : public QFrame {
public:
    explicit PreviewView(QWidget* parent) : QFrame(parent)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setMinimumSize(160, 160);
    }

    void setPicture(const Picture* picture)
    {
        shown = picture;
        rendered = QImage();
        update();
    }

    // Renders the current picture for the view's present size; false when it
    // cannot be decoded.
    bool render()
    {
        renderedSize = contentsRect().size();
        rendered = QImage();
        if (!shown)
            return true;
        const QRect place = previewPlacement(QSize(shown->width(), shown->height()), renderedSize);
        if (place.isEmpty())
            return true;
        rendered = renderedAt(*shown, place.size());
        renderedOrigin = place.topLeft();
        return !rendered.isNull();
    }

    std::function<void()> clicked;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        if (shown && renderedSize != contentsRect().size())
            render();
        if (rendered.isNull()) {
            painter.drawText(contentsRect(), Qt::AlignCenter, QStringLiteral("(なし)"));
            return;
        }
        painter.setClipRect(contentsRect());
        painter.drawImage(contentsRect().topLeft() + renderedOrigin, rendered);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && clicked)
            clicked();
    }

private:
    const Picture* shown = nullptr;
    QImage rendered;
    QSize renderedSize;
    QPoint renderedOrigin;
};

// The pane beside the file list: a caption " (WxH)" or "画像:", the button
// for the large preview, and the preview itself.
class PreviewPane : public QWidget {
public:
    explicit PreviewPane(QWidget* parent) : QWidget(parent)
    {
        caption = new QLabel(this);
        caption->setObjectName(QStringLiteral("previewCaption"));
        button = new QToolButton(this);
        button->setObjectName(QStringLiteral("previewButton"));
        button->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
        button->setToolTip(QStringLiteral("プレビュー"));
        view = new PreviewView(this);
        view->setObjectName(QStringLiteral("previewView"));
        auto* top = new QHBoxLayout;
        top->addWidget(caption, 1);
        top->addWidget(button);
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->addLayout(top);
        column->addWidget(view, 1);
        setFixedWidth(200);
        QObject::connect(button, &QToolButton::clicked, this, [this] { openLargePreview(); });
        view->clicked = [this] { openLargePreview(); };
        present();
    }

    void showFile(const QString& path)
    {
        if (path == shownPath)
            return;
        shownPath = path;
        loaded = pictureIn(path);
        present();
    }

private:
    // Shows the loaded picture, or none when it cannot be drawn either.
    void present()
    {
        view->setPicture(loaded ? &*loaded : nullptr);
        if (loaded && !view->render())
            loaded.reset();
        if (!loaded)
            view->setPicture(nullptr);
        caption->setText(loaded ? QStringLiteral(" (%1x%2)").arg(loaded->width()).arg(loaded->height())
                                : QStringLiteral("画像:"));
        button->setEnabled(loaded.has_value());
    }

    // The file's picture, or none when it is no loadable picture.
    static std::optional<Picture> pictureIn(const QString& path)
    {
        if (!QFileInfo(path).isFile())
            return std::nullopt;
        try {
            return readPictureFile(path);
        } catch (const PlanixError&) {
            return std::nullopt;
        }
    }

    void openLargePreview()
    {
        if (!loaded)
            return;
        PreviewWindow window(*loaded, this);
        window.exec();
    }

    QLabel* caption;
    QToolButton* button;
    PreviewView* view;
    QString shownPath;
    std::optional<Picture> loaded;
};

// The file a name typed into the dialog stands for.
QString typedPath(const QFileDialog& dialog, const QString& typed)
{
    if (typed.isEmpty())
        return QString();
    return QFileInfo(typed).isAbsolute() ? typed : dialog.directory().filePath(typed);
}

// Puts the pane in a column of its own right of the dialog's contents. It
// follows the current file of the list and the name in the name field, which
// the list's selection and the user's typing both fill.
void attachPreview(QFileDialog& dialog)
{
    auto* pane = new PreviewPane(&dialog);
    const QSize withoutPane = dialog.sizeHint();
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);
    // The dialog grows by the pane, so that the list keeps its room: names,
    // sizes and types without ellipses.
    dialog.resize(withoutPane.width() + pane->width(), withoutPane.height());
    QObject::connect(&dialog, &QFileDialog::currentChanged, pane,
                     [pane](const QString& path) { pane->showFile(path); });
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        QObject::connect(name, &QLineEdit::textChanged, pane,
                         [pane, &dialog](const QString& text) { pane->showFile(typedPath(dialog, text)); });
}

// Typing a full path, the dialog's completion selects each folder the path
// runs through as it is typed, the shown folder itself included, and may
// leave it selected out of sight. The dialog then counts that folder as part
// of the choice and greys its Open button. Only entries of the shown folder
// can be chosen, so whatever lies outside it is deselected after each change
// of the name (the completion, connected first, has run by then).
void keepSelectionInShownFolder(QFileDialog& dialog)
{
    auto* list = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!list || !name)
        return;
    QObject::connect(name, &QLineEdit::textChanged, list, [list] {
        QItemSelectionModel* selection = list->selectionModel();
        for (const QModelIndex& index : selection->selectedIndexes())
            if (index.parent() != list->rootIndex())
                selection->select(index, QItemSelectionModel::Deselect);
    });
}

// The detail list's columns are laid out for a narrower face than the
// program's: sizes, types and dates came out cut ("158···KiB"). Each folder
// shown widens them to what they hold.
void fitDetailColumns(QFileDialog& dialog)
{
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!details || !model)
        return;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, details, [details] {
        for (int column = 1; column < details->model()->columnCount(); ++column)
            details->resizeColumnToContents(column);
    });
}

} // namespace

bool TOpenPictureDialog::Execute()
{
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(qtNameFilters(Filter));
    attachPreview(dialog);
    keepSelectionInShownFolder(dialog);
    fitDetailColumns(dialog);
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = dialog.selectedFiles().first();
    return true;
}
