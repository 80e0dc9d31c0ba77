#include "app/OpenAsChosen.h"

#include "app/Unit1.h"

#include <QFileInfo>
#include <QTimer>
#include <memory>
#include <utility>

namespace {

// A dialog whose user has already chosen.
class AnsweredDialog : public TOpenPictureDialog {
public:
    explicit AnsweredDialog(const QString& answer) : TOpenPictureDialog(nullptr) { FileName = answer; }
    bool Execute() override { return true; }
};

// The window placement keeps this child while it waits for the window
// manager's frame; when the frame comes it lays the working image out again.
constexpr const char* placementWatchName = "outerBoundsWatch";

// The longest wait for the frame (a display without window manager never
// gives one).
constexpr int longestFrameWaitMs = 1000;

} // namespace

void openAsChosen(TForm1& form, const QString& fileName)
{
    const QString chosen = QFileInfo(fileName).absoluteFilePath();
    std::unique_ptr<TOpenPictureDialog> dialog =
        std::exchange(form.OpenPictureDialog1, std::make_unique<AnsweredDialog>(chosen));
    dialog->FileName = chosen;
    form.Action1->trigger(); // the handler runs inside the error guard
    form.OpenPictureDialog1 = std::move(dialog);
}

void openOnceShown(TForm1& form, const QString& fileName)
{
    QTimer::singleShot(0, &form, [&form, fileName] {
        QObject* watch = form.findChild<QObject*>(placementWatchName, Qt::FindDirectChildrenOnly);
        if (!watch) {
            openAsChosen(form, fileName);
            return;
        }
        auto opened = std::make_shared<bool>(false);
        const auto openOnce = [&form, fileName, opened] {
            if (std::exchange(*opened, true))
                return;
            openAsChosen(form, fileName);
        };
        QObject::connect(watch, &QObject::destroyed, &form, openOnce, Qt::QueuedConnection);
        QTimer::singleShot(longestFrameWaitMs, &form, openOnce);
    });
}
