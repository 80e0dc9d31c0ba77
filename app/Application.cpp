#include "app/Application.h"

#include "app/ErrorBox.h"
#include "app/UiFont.h"
#include "calc/DecimalText.h"
#include "windows/ProgramIcon.h"

#include <QApplication>
#include <QProxyStyle>

namespace {

// Tooltips appear after the mouse has rested 500 ms.
class TooltipTiming : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 500;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void configureApplication(QApplication& app)
{
    installFontSubstitutes();
    useSystemDecimalSeparator();
    app.setApplicationName(applicationTitle());
    app.setApplicationDisplayName(QString());
    app.setApplicationVersion(QStringLiteral(PLANIX_PRODUCT_VERSION));
    app.setStyle(new TooltipTiming);
    app.setFont(uiFont(12));
    app.setWindowIcon(programIcon());
}
