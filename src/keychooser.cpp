// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "keychooser.h"

#include <utils/fancylineedit.h>
#include <utils/qtcassert.h>

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

} // namespace Tamarek::Internal
