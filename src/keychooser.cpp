// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "keychooser.h"

#include "certificatehealthlabel.h"
#include "signingdefaults.h"
#include "tamarektr.h"

#include <utils/fancylineedit.h>
#include <utils/qtcassert.h>

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QTimer>

using namespace Utils;

namespace Tamarek::Internal {

void setUpKeyChooser(PathChooser *chooser, const KeyChooserOptions &options, const PathCheck &check)
{
    QTC_ASSERT(chooser && check, return);
    chooser->setValidationFunction(FancyLineEdit::SynchronousValidationFunction(
        [check](FancyLineEdit *edit, QString *errorMessage) {
            return check(edit->text(), errorMessage);
        }));
    // The chooser's own asynchronous check of its empty text at construction
    // reports later, through the event loop, and would mark the chooser
    // invalid ("The path must not be empty.") over the result above.
    QTimer::singleShot(0, chooser, &PathChooser::triggerChanged);

    chooser->setExpectedKind(options.kind);
    chooser->setPromptDialogTitle(options.title);
    if (!options.filter.isEmpty())
        chooser->setPromptDialogFilter(options.filter);
    if (!options.placeholder.isEmpty())
        chooser->setPlaceholderText(options.placeholder);
    if (options.browseFromHome)
        chooser->setInitialBrowsePathBackup(FilePath::fromString(QDir::homePath()));
    if (!options.historyKey.isEmpty())
        chooser->setHistoryCompleter(options.historyKey, true);
}

void setUpStepKeyChooser(PathChooser *chooser,
                         const QString &title,
                         bool allowEmpty,
                         const PathCheck &check)
{
    // A key may be named before it exists: only the folder is checked.
    setUpKeyChooser(chooser, {title}, [allowEmpty, check](const QString &path, QString *error) {
        return (allowEmpty && path.isEmpty()) || check(path, error);
    });
}

CertificateHealthLabel *setUpVerifyRootChooser(QFormLayout *layout,
                                               QCheckBox *verify,
                                               QLabel *label,
                                               PathChooser *chooser,
                                               const PathCheck &check,
                                               const std::function<void(bool)> &verifyChanged,
                                               const std::function<void(const QString &)> &rootChanged)
{
    QTC_ASSERT(layout && verify && label && chooser, return nullptr);
    auto health = new CertificateHealthLabel;
    layout->addRow(QString(), health);
    setUpStepKeyChooser(chooser,
                        Tr::tr("Select the CA certificate to verify against"),
                        true,
                        check);
    chooser->setToolTip(Tr::tr("The CA certificate that the signatures must verify against; "
                               "when empty, the one of the options page"));
    health->setRole(CertificateRole::TrustRoot);

    const auto update = [verify, label, chooser, health] {
        const QString global = SigningDefaults::verifyRootCertificate();
        chooser->setPlaceholderText(
            global.isEmpty() ? Tr::tr("Global: none set")
                             : Tr::tr("Global: %1").arg(QFileInfo(global).fileName()));
        const QString own = chooser->lineEdit()->text();
        health->setPair(verify->isChecked() ? (own.isEmpty() ? global : own) : QString());
        label->setEnabled(verify->isChecked());
        chooser->setEnabled(verify->isChecked());
    };
    QObject::connect(verify, &QAbstractButton::toggled, chooser, update);
    QObject::connect(chooser, &PathChooser::textChanged, chooser, update);
    QObject::connect(&SigningDefaults::instance(), &SigningDefaults::changed, chooser, update);
    update();
    // clicked, not toggled: the step's own value must not come back to it.
    QObject::connect(verify, &QAbstractButton::clicked, chooser, verifyChanged);
    QObject::connect(chooser, &PathChooser::textChanged, chooser, rootChanged);
    return health;
}

} // namespace Tamarek::Internal
