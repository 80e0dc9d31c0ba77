// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Application.h"

#include "surface/ui/ErrorBox.h"
#include "surface/ui/UiFont.h"
#include "calc/DecimalText.h"
#include "windows/ProgramIcon.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QProxyStyle>
#include <QTranslator>

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

// Qt's own dialogs (the file dialog, message box buttons) speak Japanese like
// the rest of the program, when Qt's translations are installed.
void installJapaneseQtTexts(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

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
    installJapaneseQtTexts(app);
}
