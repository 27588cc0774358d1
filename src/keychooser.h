// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/pathchooser.h>
#include <utils/storekey.h>

#include <functional>

QT_BEGIN_NAMESPACE
class QCheckBox;
class QFormLayout;
class QLabel;
QT_END_NAMESPACE

namespace Tamarek::Internal {

class CertificateHealthLabel;

// Whether a path typed or picked in a chooser may be used; sets the message
// shown in the chooser when not.
using PathCheck = std::function<bool(const QString &path, QString *errorMessage)>;

struct KeyChooserOptions
{
    QString title; // of the browse dialog
    Utils::PathChooser::Kind kind = Utils::PathChooser::File;
    QString filter;
    QString placeholder;
    Utils::Key historyKey; // empty: no history; else its last entry is restored
    bool browseFromHome = false;
};

// Sets a chooser up for a key or certificate file. The check replaces the
// chooser's own validation (which would demand an existing file) and runs on
// every change of the text, so the chooser shows the state of the path it
// holds at once, a restored one included.
void setUpKeyChooser(Utils::PathChooser *chooser,
                     const KeyChooserOptions &options,
                     const PathCheck &check);

// A sign step widget's chooser: the browse dialog's title, and the check that
// decides, with an empty path valid when allowEmpty.
void setUpStepKeyChooser(Utils::PathChooser *chooser,
                         const QString &title,
                         bool allowEmpty,
                         const PathCheck &check);

// A sign step widget's CA certificate for verifying after signing: empty
// stands for the options page's, which the placeholder names and the health
// label (a row added to layout) then shows; usable while verifying is ticked.
// The user's changes go to verifyChanged and rootChanged.
CertificateHealthLabel *setUpVerifyRootChooser(QFormLayout *layout,
                                               QCheckBox *verify,
                                               QLabel *label,
                                               Utils::PathChooser *chooser,
                                               const PathCheck &check,
                                               const std::function<void(bool)> &verifyChanged,
                                               const std::function<void(const QString &)> &rootChanged);

// The same for both step widgets, whose forms name the controls alike and
// whose signals tell the step of the user's changes.
template<typename Widget, typename Form>
CertificateHealthLabel *setUpVerifyRootChooser(Widget *widget, Form *form, const PathCheck &check)
{
    return setUpVerifyRootChooser(
        form->formLayout,
        form->verifyAfterSignCheckBox,
        form->verifyRootCertificateLabel,
        form->verifyRootCertificatePathChooser,
        check,
        [widget](bool verify) { emit widget->verifyAfterSignChanged(verify); },
        [widget](const QString &path) { emit widget->verifyRootCertificateChanged(path); });
}

} // namespace Tamarek::Internal
