// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

namespace Tamarek::Constants {

const char PLUGIN_ID[] = "tamarek";

// Registrations with the host
const char OPTIONS_CATEGORY_ID[] = "W.Orv";
const char OPTIONS_CATEGORY_ICON[] = ":/orv/images/icon-s-morvane-qtcreator-mask-small.png";
const char SIGN_OPTIONS_PAGE_ID[] = "Z.SignOptions";
const char SIGN_DIALOG_ACTION_ID[] = "Tamarek.SignDialog";
const char FORGET_PASSPHRASES_ACTION_ID[] = "Tamarek.ForgetPassphrases";
const char ORV_TOOLS_MENU_ID[] = "Orv.Tools.Menu";

// Deploy steps
const char CUSTOMER_SIGN_STEP_ID[] = "Tamarek.RpmSignStep";
const char RPMSIGN_EXTERNAL_STEP_ID[] = "Tamarek.RpmSignExternalStep";
const char ORV_DEVICE_TYPE[] = "Orv.Device.Type";

// Signing tools in a build target
const char CUSTOMER_SIGN_TOOL[] = "customer-sign";
const char RPMSIGN_EXTERNAL_TOOL[] = "rpmsign-external";
const char VYXCERT_TOOL[] = "vyxcert-cli";
const char OPENSSL_TOOL[] = "openssl";

// Global signing settings (application settings)
const char DEFAULT_SIGN_KEY[] = "Tamarek.DefaultSign";
const char GLOBAL_SIGN_KEY_KEY[] = "Tamarek.GlobalSignKey";
const char GLOBAL_SIGN_CERT_KEY[] = "Tamarek.GlobalSignCert";
const char DEFAULT_VERIFY_ROOT_CERTIFICATE_KEY[] = "Tamarek.DefaultVerifyRootCertificate";
const char STOP_DEPLOY_ON_FAILURE_KEY[] = "Tamarek.StopDeployOnFailure";

// Verifying after signing (each sign step's settings)
const char VERIFY_AFTER_SIGN_KEY[] = "Tamarek.VerifyAfterSign";
const char VERIFY_ROOT_CERTIFICATE_KEY[] = "Tamarek.VerifyRootCertificate";

// The kit's command-line tool the IDE runs the tools with, for tamarek-sign.
const char KIT_TOOL_KEY[] = "Tamarek.KitTool";

// Default key files of the customer-sign step, below the shared home folder
const char DEFAULT_BINARIES_KEY_FILE[] = "/.orvsdk/binaries-key.pem";
const char DEFAULT_PACKAGES_KEY_FILE[] = "/.orvsdk/packages-key.pem";
const char DEFAULT_PACKAGES_CERT_FILE[] = "/.orvsdk/packages-cert.pem";
const char DEFAULT_PACKAGES_CLIENT_CERT_FILE[] = "/.orvsdk/packages-client-cert.pem";

// The kit's regular key pair and its copy in each workspace
const char REGULAR_KEYS_KIT_FOLDER[] = "package-signing";
const char REGULAR_KEYS_WORKSPACE_FOLDER[] = ".neverraos-regular-keys";
const char REGULAR_KEY_FILE[] = "regular_key.pem";
const char REGULAR_CERT_FILE[] = "regular_cert.pem";

const char PACKAGE_SIGNING_GUIDE_URL[]
    = "https://docs.neverraos.org/doc/software_development/guides/package_signing";

} // namespace Tamarek::Constants
