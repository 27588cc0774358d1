<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>QObject</name>
    <message>
        <source>Error: keys and certificate can&apos;t be empty</source>
        <translation>Ошибка: ключи и сертификат не могут быть пустыми</translation>
    </message>
</context>
<context>
    <name>QtC::Tamarek</name>
    <message>
        <source>The certificate %1 can&apos;t be read: %2</source>
        <translation>Не удаётся прочитать сертификат %1: %2</translation>
    </message>
    <message>
        <source>The certificate %1 is not valid before %2.</source>
        <translation>Сертификат %1 действителен только с %2.</translation>
    </message>
    <message>
        <source>The certificate %1 expired on %2.</source>
        <translation>Срок действия сертификата %1 истёк %2.</translation>
    </message>
    <message numerus="yes">
        <source>The certificate %1 expires on %2, in %n day(s).</source>
        <translation>
            <numerusform>Срок действия сертификата %1 истекает %2, через %n день.</numerusform>
            <numerusform>Срок действия сертификата %1 истекает %2, через %n дня.</numerusform>
            <numerusform>Срок действия сертификата %1 истекает %2, через %n дней.</numerusform>
        </translation>
    </message>
    <message>
        <source>The certificate %1 does not belong to its key.</source>
        <translation>Сертификат %1 не соответствует своему ключу.</translation>
    </message>
    <message>
        <source>The certificate can&apos;t be read: %1</source>
        <translation>Не удаётся прочитать сертификат: %1</translation>
    </message>
    <message>
        <source>Subject: %1</source>
        <translation>Субъект: %1</translation>
    </message>
    <message>
        <source>Issuer: %1</source>
        <translation>Издатель: %1</translation>
    </message>
    <message>
        <source>Valid from %1 to %2</source>
        <translation>Действителен с %1 по %2</translation>
    </message>
    <message>
        <source>Not valid yet.</source>
        <translation>Ещё не действителен.</translation>
    </message>
    <message>
        <source>Expired.</source>
        <translation>Срок действия истёк.</translation>
    </message>
    <message numerus="yes">
        <source>Expires in %n day(s).</source>
        <translation>
            <numerusform>Истекает через %n день.</numerusform>
            <numerusform>Истекает через %n дня.</numerusform>
            <numerusform>Истекает через %n дней.</numerusform>
        </translation>
    </message>
    <message>
        <source>The key belongs to the certificate.</source>
        <translation>Ключ соответствует сертификату.</translation>
    </message>
    <message>
        <source>The key does not belong to the certificate.</source>
        <translation>Ключ не соответствует сертификату.</translation>
    </message>
    <message>
        <source>The key is encrypted: whether it belongs to the certificate is not checked.</source>
        <translation>Ключ зашифрован: соответствие сертификату не проверяется.</translation>
    </message>
    <message>
        <source>The key can&apos;t be read.</source>
        <translation>Не удаётся прочитать ключ.</translation>
    </message>
    <message>
        <source>Certificate details</source>
        <translation>Сведения о сертификате</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Файл не существует.</translation>
    </message>
    <message>
        <source>It is no PEM certificate.</source>
        <translation>Это не сертификат в формате PEM.</translation>
    </message>
    <message>
        <source>The company name can&apos;t be empty.</source>
        <translation>Название компании не может быть пустым.</translation>
    </message>
    <message>
        <source>The company name can&apos;t be longer than %1 characters.</source>
        <translation>Название компании не может быть длиннее %1 символов.</translation>
    </message>
    <message>
        <source>The company name contains an invalid character.</source>
        <translation>Название компании содержит недопустимый символ.</translation>
    </message>
    <message>
        <source>The company name can&apos;t contain line breaks or other control characters.</source>
        <translation>Название компании не может содержать переводы строк и другие управляющие символы.</translation>
    </message>
    <message>
        <source>Could not open %1 for writing: %2.</source>
        <translation>Не удалось открыть %1 для записи: %2.</translation>
    </message>
    <message>
        <source>Could not write data to %1: %2.</source>
        <translation>Не удалось записать данные в %1: %2.</translation>
    </message>
    <message>
        <source>No Build Engine found</source>
        <translation>Среда сборки не найдена</translation>
    </message>
    <message>
        <source>The build engine has no shared source folder.</source>
        <translation>У среды сборки нет общей папки исходных текстов.</translation>
    </message>
    <message>
        <source>Could not create a folder in %1: %2.</source>
        <translation>Не удалось создать папку в %1: %2.</translation>
    </message>
    <message>
        <source>Could not start &quot;%1&quot;: %2</source>
        <translation>Не удалось запустить «%1»: %2</translation>
    </message>
    <message>
        <source>The tool was stopped before it finished.</source>
        <translation>Работа инструмента была остановлена до её завершения.</translation>
    </message>
    <message>
        <source>The tool crashed.</source>
        <translation>Инструмент аварийно завершился.</translation>
    </message>
    <message>
        <source>The tool ended with exit code %1.</source>
        <translation>Инструмент завершился с кодом %1.</translation>
    </message>
    <message>
        <source>Whether the certificate %1 belongs to its key could not be read: %2</source>
        <translation>Не удалось проверить, принадлежит ли сертификат %1 его ключу: %2</translation>
    </message>
    <message>
        <source>Whether the key belongs to the certificate could not be read: %1</source>
        <translation>Не удалось проверить, принадлежит ли ключ сертификату: %1</translation>
    </message>
    <message>
        <source>The read was stopped.</source>
        <translation>Чтение остановлено.</translation>
    </message>
    <message numerus="yes">
        <source>openssl did not answer within %n second(s).</source>
        <translation>
            <numerusform>openssl не ответил за %n секунду.</numerusform>
            <numerusform>openssl не ответил за %n секунды.</numerusform>
            <numerusform>openssl не ответил за %n секунд.</numerusform>
        </translation>
    </message>
    <message>
        <source>openssl gave no public key.</source>
        <translation>openssl не выдал открытый ключ.</translation>
    </message>
    <message>
        <source>Others may change the folder %1, so they could swap the request&apos;s configuration before openssl reads it: make the folder writable by you only.</source>
        <translation>Папку %1 могут изменять другие пользователи и подменить конфигурацию запроса до того, как её прочитает openssl: оставьте право записи в эту папку только себе.</translation>
    </message>
    <message>
        <source>The tool did not finish in time.</source>
        <translation>Инструмент не завершился вовремя.</translation>
    </message>
    <message>
        <source>The path must be inside workspace folder:
%1</source>
        <translation>Путь должен находиться в рабочей папке:
%1</translation>
    </message>
    <message>
        <source>The path must be inside shared folders:
%1
%2</source>
        <translation>Путь должен находиться в общих папках:
%1
%2</translation>
    </message>
    <message>
        <source>Error: key and certificate must be inside workspace folder: %1</source>
        <translation>Ошибка: ключ и сертификат должны находиться в рабочей папке: %1</translation>
    </message>
    <message>
        <source>Error: keys and certificate must be inside shared folders: %1, %2</source>
        <translation>Ошибка: ключи и сертификат должны находиться в общих папках: %1, %2</translation>
    </message>
    <message>
        <source>the signing tool did not finish in time.</source>
        <translation>инструмент подписи не завершился вовремя.</translation>
    </message>
    <message>
        <source>signing was stopped, no passphrase was given.</source>
        <translation>подпись остановлена, пароль не введён.</translation>
    </message>
    <message>
        <source>the signing tool crashed.</source>
        <translation>инструмент подписи аварийно завершился.</translation>
    </message>
    <message>
        <source>the signing tool ended with exit code %1.</source>
        <translation>инструмент подписи завершился с кодом %1.</translation>
    </message>
    <message>
        <source>Error: Packages were not signed: %1</source>
        <translation>Ошибка: пакеты не подписаны: %1</translation>
    </message>
    <message>
        <source>CA certificate details</source>
        <translation>Сведения о сертификате УЦ</translation>
    </message>
    <message>
        <source>Select the CA certificate to verify against</source>
        <translation>Выберите сертификат УЦ для проверки</translation>
    </message>
    <message>
        <source>The CA certificate that the signatures must verify against; when empty, the one of the options page</source>
        <translation>Сертификат УЦ, которым должны проверяться подписи; если не задан — сертификат из параметров</translation>
    </message>
    <message>
        <source>Global: none set</source>
        <translation>Глобальный: не задан</translation>
    </message>
    <message>
        <source>Global: %1</source>
        <translation>Глобальный: %1</translation>
    </message>
    <message>
        <source>%1 needs a number, not &quot;%2&quot;.</source>
        <translation>%1: нужно число, а не «%2».</translation>
    </message>
    <message>
        <source>No command given.</source>
        <translation>Команда не указана.</translation>
    </message>
    <message>
        <source>Unknown command &quot;%1&quot;.</source>
        <translation>Неизвестная команда «%1».</translation>
    </message>
    <message>
        <source>--algorithm is rsa or gost, not &quot;%1&quot;.</source>
        <translation>--algorithm принимает rsa или gost, а не «%1».</translation>
    </message>
    <message>
        <source>--timeout is 1 to %1 seconds, not &quot;%2&quot;.</source>
        <translation>--timeout принимает от 1 до %1 секунд, а не «%2».</translation>
    </message>
    <message>
        <source>Unexpected argument &quot;%1&quot;.</source>
        <translation>Лишний аргумент «%1».</translation>
    </message>
    <message>
        <source>%1 takes no value.</source>
        <translation>%1 не принимает значения.</translation>
    </message>
    <message>
        <source>%1 does not go with %2.</source>
        <translation>%1 не применяется с командой %2.</translation>
    </message>
    <message>
        <source>Unknown option &quot;%1&quot;.</source>
        <translation>Неизвестный параметр «%1».</translation>
    </message>
    <message>
        <source>%1 needs a value.</source>
        <translation>Для %1 нужно значение.</translation>
    </message>
    <message>
        <source>a package</source>
        <translation>пакет</translation>
    </message>
    <message>
        <source>%1 needs %2.</source>
        <translation>%1: нужно указать %2.</translation>
    </message>
    <message>
        <source>The settings file %1 does not exist.</source>
        <translation>Файл настроек %1 не существует.</translation>
    </message>
    <message>
        <source>The settings file %1 can&apos;t be read.</source>
        <translation>Не удаётся прочитать файл настроек %1.</translation>
    </message>
    <message>
        <source>Usage: tamarek-sign COMMAND [OPTIONS] PACKAGE...

Signs, verifies, dumps and strips RPM packages for Neverra OS with the tools of a
build target of the kit&apos;s build engine, with the same command lines as the
Tamarek plug-in of Qt Creator. Every tool runs through the kit&apos;s command-line
tool; keys, certificates and packages must lie in the engine&apos;s shared folders.

Commands:
  sign --target T --key K --cert C [--client-key K --client-cert C]
       [--binaries-key K] PACKAGE...
      Signs with rpmsign-external when the target has it (developer pair, then
      the client pair), else with customer-sign (which needs --binaries-key;
      --client-cert then certifies the same key), and reports the signatures.
  verify --target T --ca CA PACKAGE...
      Verifies each package&apos;s signatures against the CA certificates in CA.
  dump --target T PACKAGE...     Prints the packages&apos; signatures.
  remove --target T PACKAGE...   Removes the packages&apos; signatures.
  request --target T --key K --company NAME --out CSR [--algorithm rsa|gost]
          [--encrypt]
      Writes a certificate signing request for NAME; makes the key K first
      when it does not exist (RSA 2048 or GOST R 34.10-2012 256, AES-256
      encrypted with --encrypt).
  health --target T --key K --cert C [--warn-days N]
      Prints the certificate&apos;s subject, issuer and validity and whether K is its
      key; fails when it has expired, is not valid yet, is not K&apos;s or expires
      within N days (default 30).

Options for every command:
  --engine NAME     the build engine (default: the kit&apos;s first)
  --target NAME     the build target (required)
  --kit-tool PATH   the kit&apos;s command-line tool (default: the one the IDE
                    runs, named in --settings, else the kit installation&apos;s)
  --timeout SECONDS how long each tool run, and a passphrase typed on the
                    terminal, may take (default 600)
  --settings FILE   a Qt Creator settings file (QtCreator.ini): the global key
                    and certificate of its signing options are the defaults of
                    --key and --cert, its kit tool that of --kit-tool; options
                    given win
  --json            (sign, verify, dump) the report as JSON on standard output:
                    per package its path, its signatures (subject, group, key
                    id) and, for verify, whether it verified or why not; the
                    other lines then go to standard error
  --help            this text

Passphrases (never on the command line):
  --passphrase-file F                one passphrase for every key
  --key-passphrase-file F            for --key (and a new key of request)
  --client-key-passphrase-file F     for --client-key
  --binaries-key-passphrase-file F   for --binaries-key
  --passphrase-fd N                  one passphrase for every key, read from
                                     file descriptor N
  TAMAREK_PASSPHRASE_FILE            (environment) as --passphrase-file
  A file&apos;s first line is the passphrase; a file that others may read or
  write is refused. A key&apos;s own file comes first, then --passphrase-file,
  --passphrase-fd and TAMAREK_PASSPHRASE_FILE. With none, the passphrase is
  asked for on the terminal without echo; without a terminal the run ends at
  once. A tool asking twice for one key in a run means a wrong passphrase.

Exit status:
  0  done
  1  a tool failed: packages not signed or not verified, a certificate unhealthy
  2  usage error
  3  a passphrase was needed and not given, or was wrong
  4  no build engine, build target or tool
</source>
        <translation>Использование: tamarek-sign КОМАНДА [ПАРАМЕТРЫ] ПАКЕТ...

Подписывает, проверяет, выводит подписи и удаляет их у пакетов RPM для Neverra OS
инструментами цели сборки движка сборки комплекта, с теми же командами, что и
модуль Tamarek для Qt Creator. Каждый инструмент запускается через инструмент
командной строки комплекта; ключи, сертификаты и пакеты должны лежать в общих
папках движка.

Команды:
  sign --target T --key K --cert C [--client-key K --client-cert C]
       [--binaries-key K] ПАКЕТ...
      Подписывает через rpmsign-external, если он есть в цели (парой
      разработчика, затем клиентской парой), иначе через customer-sign (ему нужен
      --binaries-key; --client-cert тогда заверяет тот же ключ), и сообщает
      подписи.
  verify --target T --ca CA ПАКЕТ...
      Проверяет подписи каждого пакета по сертификатам УЦ в CA.
  dump --target T ПАКЕТ...       Выводит подписи пакетов.
  remove --target T ПАКЕТ...     Удаляет подписи пакетов.
  request --target T --key K --company ИМЯ --out CSR [--algorithm rsa|gost]
          [--encrypt]
      Записывает запрос на подпись сертификата для ИМЯ; если ключа K нет,
      сначала создаёт его (RSA 2048 или ГОСТ Р 34.10-2012 256, с --encrypt
      зашифрованный AES-256).
  health --target T --key K --cert C [--warn-days N]
      Выводит субъект, издателя и срок действия сертификата и то, принадлежит ли
      ему ключ K; завершается ошибкой, если срок истёк, ещё не начался, ключ
      не его или срок истекает в ближайшие N дней (по умолчанию 30).

Параметры всех команд:
  --engine ИМЯ      движок сборки (по умолчанию первый в комплекте)
  --target ИМЯ      цель сборки (обязателен)
  --kit-tool ПУТЬ   инструмент командной строки комплекта (по умолчанию тот,
                    что запускает IDE, из --settings, иначе из установки
                    комплекта)
  --timeout СЕКУНДЫ сколько может идти каждый запуск инструмента и ввод
                    парольной фразы в терминале (по умолчанию 600)
  --settings ФАЙЛ   файл настроек Qt Creator (QtCreator.ini): глобальные ключ
                    и сертификат его настроек подписи служат значениями
                    --key и --cert по умолчанию, его инструмент комплекта —
                    значением --kit-tool; заданные параметры важнее
  --json            (sign, verify, dump) отчёт в JSON на стандартный вывод:
                    для каждого пакета путь, подписи (субъект, группа,
                    идентификатор ключа) и для verify — прошёл ли он проверку
                    или почему нет; остальные строки тогда идут в стандартный
                    поток ошибок
  --help            эта справка

Парольные фразы (никогда не в командной строке):
  --passphrase-file Ф                одна фраза для всех ключей
  --key-passphrase-file Ф            для --key (и нового ключа в request)
  --client-key-passphrase-file Ф     для --client-key
  --binaries-key-passphrase-file Ф   для --binaries-key
  --passphrase-fd N                  одна фраза для всех ключей, читается из
                                     дескриптора файла N
  TAMAREK_PASSPHRASE_FILE            (окружение) как --passphrase-file
  Парольная фраза — первая строка файла; файл, который могут читать или
  изменять другие, не принимается. Сначала берётся собственный файл ключа,
  затем --passphrase-file, --passphrase-fd и TAMAREK_PASSPHRASE_FILE. Если
  ничего не задано, фраза запрашивается в терминале без отображения ввода;
  без терминала запуск сразу завершается. Повторный запрос инструментом
  фразы для того же ключа в одном запуске означает, что фраза неверна.

Код завершения:
  0  готово
  1  инструмент завершился ошибкой: пакеты не подписаны или не прошли
     проверку, сертификат непригоден
  2  ошибка в аргументах
  3  нужная парольная фраза не задана или неверна
  4  нет движка сборки, цели сборки или инструмента
</translation>
    </message>
    <message>
        <source>Try &quot;tamarek-sign --help&quot;.</source>
        <translation>Справка: «tamarek-sign --help».</translation>
    </message>
    <message>
        <source>The passphrase file %1 does not exist.</source>
        <translation>Файл с парольной фразой %1 не существует.</translation>
    </message>
    <message>
        <source>The passphrase file %1 may be read or changed by others: make it readable by its owner only (chmod 600).</source>
        <translation>Файл с парольной фразой %1 могут читать или изменять другие: сделайте его доступным только владельцу (chmod 600).</translation>
    </message>
    <message>
        <source>The passphrase file %1 can&apos;t be read: %2</source>
        <translation>Не удаётся прочитать файл с парольной фразой %1: %2</translation>
    </message>
    <message>
        <source>The passphrase file %1 holds no passphrase.</source>
        <translation>В файле %1 нет парольной фразы.</translation>
    </message>
    <message>
        <source>The passphrase descriptor %1 can&apos;t be read.</source>
        <translation>Не удаётся прочитать парольную фразу из дескриптора %1.</translation>
    </message>
    <message>
        <source>The passphrase descriptor %1 gave no passphrase.</source>
        <translation>Дескриптор %1 не дал парольной фразы.</translation>
    </message>
    <message>
        <source>the new key</source>
        <translation>новый ключ</translation>
    </message>
    <message>
        <source>wrong passphrase for %1</source>
        <translation>неверная парольная фраза для %1</translation>
    </message>
    <message>
        <source>%1 needs a passphrase: give %2</source>
        <translation>для %1 нужна парольная фраза: укажите %2</translation>
    </message>
    <message>
        <source>The kit&apos;s command-line tool &quot;%1&quot; can&apos;t be run: give --kit-tool.</source>
        <translation>Не удаётся запустить инструмент командной строки комплекта «%1»: укажите --kit-tool.</translation>
    </message>
    <message>
        <source>The kit has no build engine.</source>
        <translation>В комплекте нет движка сборки.</translation>
    </message>
    <message>
        <source>The kit has no build engine named &quot;%1&quot;.</source>
        <translation>В комплекте нет движка сборки «%1».</translation>
    </message>
    <message>
        <source>The build engine &quot;%1&quot; has no build target named &quot;%2&quot;.</source>
        <translation>У движка сборки «%1» нет цели сборки «%2».</translation>
    </message>
    <message>
        <source>rpmsign-external signs in %1 with a client pair: give --client-key.</source>
        <translation>В %1 rpmsign-external подписывает клиентской парой: укажите --client-key.</translation>
    </message>
    <message>
        <source>customer-sign signs in %1: give --binaries-key.</source>
        <translation>В %1 подписывает customer-sign: укажите --binaries-key.</translation>
    </message>
    <message>
        <source>The build target &quot;%1&quot; has none of the tools this needs: %2.</source>
        <translation>В цели сборки «%1» нет ни одного из нужных инструментов: %2.</translation>
    </message>
    <message>
        <source>The signatures can&apos;t be read: %1</source>
        <translation>Не удаётся прочитать подписи: %1</translation>
    </message>
    <message>
        <source>The signatures were not removed: %1</source>
        <translation>Подписи не удалены: %1</translation>
    </message>
    <message>
        <source>The signatures were removed.</source>
        <translation>Подписи удалены.</translation>
    </message>
    <message>
        <source>The request was not made: %1</source>
        <translation>Запрос не создан: %1</translation>
    </message>
    <message>
        <source>The certificate signing request was written to %1.</source>
        <translation>Запрос на подпись сертификата записан в %1.</translation>
    </message>
    <message>
        <source>The certificate %1 is not fit for signing.</source>
        <translation>Сертификат %1 не годится для подписи.</translation>
    </message>
</context>
<context>
    <name>SignDialog</name>
    <message>
        <source>Sign Packages</source>
        <translation>Подпись пакетов</translation>
    </message>
    <message>
        <source>Build target</source>
        <translation>Цель сборки</translation>
    </message>
    <message>
        <source>RPM package</source>
        <translation>RPM-пакет</translation>
    </message>
    <message>
        <source>Developer signature summary</source>
        <translation>Сводка подписи разработчика</translation>
    </message>
    <message>
        <source>Client signature summary</source>
        <translation>Сводка клиентской подписи</translation>
    </message>
    <message>
        <source>Binary key</source>
        <translation>Ключ двоичных файлов</translation>
    </message>
    <message>
        <source>Developer key</source>
        <translation>Ключ разработчика</translation>
    </message>
    <message>
        <source>Developer certificate</source>
        <translation>Сертификат разработчика</translation>
    </message>
    <message>
        <source>Client key</source>
        <translation>Клиентский ключ</translation>
    </message>
    <message>
        <source>Client certificate</source>
        <translation>Клиентский сертификат</translation>
    </message>
    <message>
        <source>NOTE: Move keys to workspace folder, if you change it</source>
        <translation>ПРИМЕЧАНИЕ: при смене рабочей папки перенесите ключи в неё</translation>
    </message>
    <message>
        <source>Regular profile keys</source>
        <translation>Ключи обычного профиля</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;For the &lt;span style=&quot; font-weight:700;&quot;&gt;regular&lt;/span&gt; profile, the key and certificate can be found in the &lt;a href=&quot;%folder_link%&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#2980b9;&quot;&gt;folder&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Ключ и сертификат &lt;span style=&quot; font-weight:700;&quot;&gt;обычного&lt;/span&gt; профиля находятся в &lt;a href=&quot;%folder_link%&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#2980b9;&quot;&gt;папке&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Signing outcome</source>
        <translation>Результат подписи</translation>
    </message>
    <message>
        <source>CA certificate</source>
        <translation>Сертификат УЦ</translation>
    </message>
    <message>
        <source>Path to PEM-encoded bundle with root certificates. If not set, default value will be used.</source>
        <translation>Путь к набору корневых сертификатов в формате PEM. Если не задан, используется значение по умолчанию.</translation>
    </message>
    <message>
        <source>Verification outcome</source>
        <translation>Результат проверки</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Client signature dump&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Вывод клиентской подписи&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Client signature dump</source>
        <translation>Вывод клиентской подписи</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Developer signature dump&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Вывод подписи разработчика&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Developer signature dump</source>
        <translation>Вывод подписи разработчика</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Ключ</translation>
    </message>
    <message>
        <source>Key algorithm</source>
        <translation>Алгоритм ключа</translation>
    </message>
    <message>
        <source>Request</source>
        <translation>Запрос</translation>
    </message>
    <message>
        <source>Company name</source>
        <translation>Название компании</translation>
    </message>
    <message>
        <source>Generation outcome</source>
        <translation>Результат создания</translation>
    </message>
    <message>
        <source>OpenSSL status</source>
        <translation>Состояние OpenSSL</translation>
    </message>
    <message>
        <source>Select Privacy-Enhanced Mail container</source>
        <translation>Выберите контейнер Privacy-Enhanced Mail</translation>
    </message>
    <message>
        <source>Select key file (*.pem)</source>
        <translation>Выберите файл ключа (*.pem)</translation>
    </message>
    <message>
        <source>Select certificate (*.pem)</source>
        <translation>Выберите сертификат (*.pem)</translation>
    </message>
    <message>
        <source>&amp;Target</source>
        <translation>&amp;Цель</translation>
    </message>
    <message>
        <source>RPM &amp;package</source>
        <translation>RPM-&amp;пакет</translation>
    </message>
    <message>
        <source>&amp;Remove signature</source>
        <translation>&amp;Удалить подпись</translation>
    </message>
    <message>
        <source>&amp;Sign</source>
        <translation>По&amp;дпись</translation>
    </message>
    <message>
        <source>&amp;Binary key</source>
        <translation>Клю&amp;ч двоичных файлов</translation>
    </message>
    <message>
        <source>Developer &amp;key</source>
        <translation>&amp;Ключ разработчика</translation>
    </message>
    <message>
        <source>Developer c&amp;ertificate</source>
        <translation>Сертификат р&amp;азработчика</translation>
    </message>
    <message>
        <source>C&amp;lient key</source>
        <translation>К&amp;лиентский ключ</translation>
    </message>
    <message>
        <source>Client certif&amp;icate</source>
        <translation>Клиентский серт&amp;ификат</translation>
    </message>
    <message>
        <source>Why the signing failed</source>
        <translation>Причина ошибки подписи</translation>
    </message>
    <message>
        <source>&amp;Add signature</source>
        <translation>Доба&amp;вить подпись</translation>
    </message>
    <message>
        <source>&amp;Verify</source>
        <translation>П&amp;роверка</translation>
    </message>
    <message>
        <source>C&amp;A certificate</source>
        <translation>С&amp;ертификат УЦ</translation>
    </message>
    <message>
        <source>Verif&amp;y signature</source>
        <translation>Пр&amp;оверить подпись</translation>
    </message>
    <message>
        <source>&amp;Dump signature</source>
        <translation>По&amp;казать подписи</translation>
    </message>
    <message>
        <source>Certificate &amp;generation</source>
        <translation>&amp;Создание сертификата</translation>
    </message>
    <message>
        <source>&amp;Key</source>
        <translation>&amp;Ключ</translation>
    </message>
    <message>
        <source>Re&amp;quest</source>
        <translation>&amp;Запрос</translation>
    </message>
    <message>
        <source>Company &amp;name</source>
        <translation>&amp;Название компании</translation>
    </message>
    <message>
        <source>En&amp;crypt</source>
        <translation>За&amp;шифровать</translation>
    </message>
    <message>
        <source>Generat&amp;e</source>
        <translation>Созд&amp;ать</translation>
    </message>
</context>
<context>
    <name>SignOptionsWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Enable sign step by default</source>
        <translation>Включать шаг подписи по умолчанию</translation>
    </message>
    <message>
        <source>Key:</source>
        <translation>Ключ:</translation>
    </message>
    <message>
        <source>Certificate:</source>
        <translation>Сертификат:</translation>
    </message>
    <message>
        <source>CA certificate:</source>
        <translation>Сертификат УЦ:</translation>
    </message>
    <message>
        <source>Stop the deploy when packages are not signed or do not verify</source>
        <translation>Прерывать развёртывание, если пакеты не подписаны или не проверены</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::BuildEngineInfo</name>
    <message>
        <source>Could not start the build engine. %1</source>
        <translation>Не удалось запустить среду сборки. %1</translation>
    </message>
    <message>
        <source>The kit has no build engine.</source>
        <translation>У комплекта нет среды сборки.</translation>
    </message>
    <message>
        <source>The build engine has no build targets.</source>
        <translation>У среды сборки нет целей сборки.</translation>
    </message>
    <message>
        <source>Starting the build engine was stopped. Close and open the window to try again.</source>
        <translation>Запуск среды сборки остановлен. Закройте и снова откройте окно, чтобы попробовать ещё раз.</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::CustomerSignStep</name>
    <message>
        <source>Signing RPM package...</source>
        <translation>Подпись RPM-пакета...</translation>
    </message>
    <message>
        <source>Error: No previous &quot;%1&quot; step found</source>
        <translation>Ошибка: не найден предшествующий шаг «%1»</translation>
    </message>
    <message>
        <source>Error: no package for sign found</source>
        <translation>Ошибка: не найдено пакетов для подписи</translation>
    </message>
    <message>
        <source>Package sign completed successfully.</source>
        <translation>Подпись пакетов успешно завершена.</translation>
    </message>
    <message>
        <source>Package sign stopped by user</source>
        <translation>Подпись пакетов остановлена пользователем</translation>
    </message>
    <message>
        <source>No packages key set</source>
        <translation>Ключ пакетов не задан</translation>
    </message>
    <message>
        <source>Packages key: %1</source>
        <translation>Ключ пакетов: %1</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::CustomerSignStepWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Command:</source>
        <translation>Команда:</translation>
    </message>
    <message>
        <source>customer-sign</source>
        <translation>customer-sign</translation>
    </message>
    <message>
        <source>Binaries key:</source>
        <translation>Ключ двоичных файлов:</translation>
    </message>
    <message>
        <source>Packages key:</source>
        <translation>Ключ пакетов:</translation>
    </message>
    <message>
        <source>Packages certificate:</source>
        <translation>Сертификат пакетов:</translation>
    </message>
    <message>
        <source>Packages client certificate:</source>
        <translation>Клиентский сертификат пакетов:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;If this option is disabled, packages debuginfo and debugsource will not be signed&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Если параметр выключен, пакеты debuginfo и debugsource не подписываются&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Sign debug package</source>
        <translation>Подписывать отладочные пакеты</translation>
    </message>
    <message>
        <source>Select binaries key</source>
        <translation>Выберите ключ двоичных файлов</translation>
    </message>
    <message>
        <source>Select packages key</source>
        <translation>Выберите ключ пакетов</translation>
    </message>
    <message>
        <source>Select packages certificate</source>
        <translation>Выберите сертификат пакетов</translation>
    </message>
    <message>
        <source>Select packages client certificate</source>
        <translation>Выберите клиентский сертификат пакетов</translation>
    </message>
    <message>
        <source>Verify signatures after signing</source>
        <translation>Проверять подписи после подписания</translation>
    </message>
    <message>
        <source>CA certificate:</source>
        <translation>Сертификат УЦ:</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::PasswordDialogPrivate</name>
    <message>
        <source>Password:</source>
        <translation>Пароль:</translation>
    </message>
    <message>
        <source>Remember for this session</source>
        <translation>Запомнить до конца сеанса</translation>
    </message>
    <message>
        <source>Kept in memory only, until a signing with it fails, the IDE ends or the remembered passphrases are forgotten.</source>
        <translation>Хранится только в памяти: до неудачной подписи с ним, до закрытия среды или до команды забыть запомненные пароли.</translation>
    </message>
    <message>
        <source>Password can&apos;t be empty</source>
        <translation>Пароль не может быть пустым</translation>
    </message>
    <message>
        <source>Password contains invalid newline characters</source>
        <translation>Пароль содержит недопустимые символы перевода строки</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::RpmsignExternal</name>
    <message>
        <source>Unknown key algorithm %1: expected 0 (RSA) or 1 (GOST).</source>
        <translation>Неизвестный алгоритм ключа %1: ожидается 0 (RSA) или 1 (ГОСТ).</translation>
    </message>
    <message>
        <source>Filed to generate CSR</source>
        <translation>Не удалось создать запрос на сертификат</translation>
    </message>
    <message>
        <source>Error: key and certificate can&apos;t be empty</source>
        <translation>Ошибка: ключ и сертификат не могут быть пустыми</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::RpmsignExternalStep</name>
    <message>
        <source>Failed to verify signature dump</source>
        <translation>Не удалось проверить вывод подписей</translation>
    </message>
    <message>
        <source>Note: Packages %1 signed with developer key, use is possible only for development purposes. Read more: %2</source>
        <translation>Примечание: пакет %1 подписан ключом разработчика, его можно использовать только для разработки. Подробнее: %2</translation>
    </message>
    <message>
        <source>Note: Packages %1 is not signed. Deployment to the device is not possible. Read more: %2</source>
        <translation>Примечание: пакет %1 не подписан. Установка на устройство невозможна. Подробнее: %2</translation>
    </message>
    <message>
        <source>Signing RPM package...</source>
        <translation>Подпись RPM-пакета...</translation>
    </message>
    <message>
        <source>Error: No previous &quot;%1&quot; step found</source>
        <translation>Ошибка: не найден предшествующий шаг «%1»</translation>
    </message>
    <message>
        <source>Error: no package for sign found</source>
        <translation>Ошибка: не найдено пакетов для подписи</translation>
    </message>
    <message>
        <source>Package sign completed successfully.</source>
        <translation>Подпись пакетов успешно завершена.</translation>
    </message>
    <message>
        <source>Package sign stopped by user</source>
        <translation>Подпись пакетов остановлена пользователем</translation>
    </message>
    <message>
        <source>Global keys (no key set)</source>
        <translation>Глобальные ключи (ключ не задан)</translation>
    </message>
    <message>
        <source>Global keys (%1)</source>
        <translation>Глобальные ключи (%1)</translation>
    </message>
    <message>
        <source>Custom: no key set</source>
        <translation>Свои: ключ не задан</translation>
    </message>
    <message>
        <source>Custom: %1</source>
        <translation>Свои: %1</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::RpmsignExternalWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Command:</source>
        <translation>Команда:</translation>
    </message>
    <message>
        <source>rpmsign-external</source>
        <translation>rpmsign-external</translation>
    </message>
    <message>
        <source>Key:</source>
        <translation>Ключ:</translation>
    </message>
    <message>
        <source>Certificate:</source>
        <translation>Сертификат:</translation>
    </message>
    <message>
        <source>User private key for signing the package</source>
        <translation>Закрытый ключ пользователя для подписи пакета</translation>
    </message>
    <message>
        <source>Certificate to be used in signature</source>
        <translation>Сертификат для подписи</translation>
    </message>
    <message>
        <source>Default key</source>
        <translation>Ключ по умолчанию</translation>
    </message>
    <message>
        <source>Custom key</source>
        <translation>Свой ключ</translation>
    </message>
    <message>
        <source>Custom keys are used</source>
        <translation>Используются свои ключи</translation>
    </message>
    <message>
        <source>Global keys are used</source>
        <translation>Используются глобальные ключи</translation>
    </message>
    <message>
        <source>Verify signatures after signing</source>
        <translation>Проверять подписи после подписания</translation>
    </message>
    <message>
        <source>CA certificate:</source>
        <translation>Сертификат УЦ:</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::SignDialog</name>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Stops the tool that is running (Esc)</source>
        <translation>Останавливает работающий инструмент (Esc)</translation>
    </message>
    <message>
        <source>Updating targets...</source>
        <translation>Обновление списка целей...</translation>
    </message>
    <message>
        <source>Select Privacy-Enhanced Mail container</source>
        <translation>Выберите контейнер Privacy-Enhanced Mail</translation>
    </message>
    <message>
        <source>Privacy-Enhanced Mail container (*.pem)</source>
        <translation>Контейнер Privacy-Enhanced Mail (*.pem)</translation>
    </message>
    <message>
        <source>Select key file (*.pem)</source>
        <translation>Выберите файл ключа (*.pem)</translation>
    </message>
    <message>
        <source>Select certificate (*.pem)</source>
        <translation>Выберите сертификат (*.pem)</translation>
    </message>
    <message>
        <source>Select RPM package</source>
        <translation>Выберите RPM-пакет</translation>
    </message>
    <message>
        <source>RPM package (*.rpm)</source>
        <translation>RPM-пакет (*.rpm)</translation>
    </message>
    <message>
        <source>Select root certificate</source>
        <translation>Выберите корневой сертификат</translation>
    </message>
    <message>
        <source>Specify path to save key file or select existing key file</source>
        <translation>Новый или существующий файл ключа</translation>
    </message>
    <message>
        <source>Specify path to save Certificate Signing Request file</source>
        <translation>Куда сохранить запрос на сертификат</translation>
    </message>
    <message>
        <source>File does not exist</source>
        <translation>Файл не существует</translation>
    </message>
    <message>
        <source>Looking for the signing tools of &quot;%1&quot; was stopped. Choose the target again to look anew.</source>
        <translation>Поиск инструментов подписи в «%1» остановлен. Выберите цель ещё раз, чтобы искать заново.</translation>
    </message>
    <message>
        <source>Signed</source>
        <translation>Подписано</translation>
    </message>
    <message>
        <source>Signing failed</source>
        <translation>Подпись не удалась</translation>
    </message>
    <message>
        <source>Package can&apos;t be verified</source>
        <translation>Пакет невозможно проверить</translation>
    </message>
    <message>
        <source>Not verified</source>
        <translation>Не проверено</translation>
    </message>
    <message>
        <source>Signatures successfully verified</source>
        <translation>Подписи успешно проверены</translation>
    </message>
    <message>
        <source>Verified</source>
        <translation>Проверено</translation>
    </message>
    <message>
        <source>Could not verify signatures</source>
        <translation>Не удалось проверить подписи</translation>
    </message>
    <message>
        <source>Package can&apos;t be dumped</source>
        <translation>Невозможно показать подписи пакета</translation>
    </message>
    <message>
        <source>No signatures found in package</source>
        <translation>В пакете не найдено подписей</translation>
    </message>
    <message>
        <source>OpenSSL not found in target &apos;%1&apos;, please install it.</source>
        <translation>В цели «%1» не найден OpenSSL, установите его.</translation>
    </message>
    <message>
        <source>Available in: Tools - Options - Neverra OS - Manage Build Targets</source>
        <translation>Доступно в: Инструменты - Параметры - Neverra OS - Управление целями сборки</translation>
    </message>
    <message>
        <source>Company name field cannot be empty</source>
        <translation>Поле названия компании не может быть пустым</translation>
    </message>
    <message>
        <source>Key field cannot be empty</source>
        <translation>Поле ключа не может быть пустым</translation>
    </message>
    <message>
        <source>Request field cannot be empty</source>
        <translation>Поле запроса не может быть пустым</translation>
    </message>
    <message>
        <source>Generation failed</source>
        <translation>Создание не удалось</translation>
    </message>
    <message>
        <source>Request generated</source>
        <translation>Запрос создан</translation>
    </message>
    <message>
        <source>Failed to generate request: %1</source>
        <translation>Не удалось создать запрос: %1</translation>
    </message>
    <message>
        <source>Not verified: %1</source>
        <translation>Не проверено: %1</translation>
    </message>
    <message>
        <source>%1 signature: %2, key %3</source>
        <translation>подпись %1: %2, ключ %3</translation>
    </message>
    <message>
        <source>no CA certificate</source>
        <translation>без сертификата УЦ</translation>
    </message>
    <message>
        <source>Packages</source>
        <translation>Пакеты</translation>
    </message>
    <message>
        <source>Package</source>
        <translation>Пакет</translation>
    </message>
    <message>
        <source>Signatures</source>
        <translation>Подписи</translation>
    </message>
    <message>
        <source>Verification</source>
        <translation>Проверка</translation>
    </message>
    <message>
        <source>Save Rep&amp;ort...</source>
        <translation>Со&amp;хранить отчёт...</translation>
    </message>
    <message>
        <source>JSON (*.json)</source>
        <translation>JSON (*.json)</translation>
    </message>
    <message>
        <source>Save Report</source>
        <translation>Сохранить отчёт</translation>
    </message>
    <message>
        <source>Text (*.txt)</source>
        <translation>Текст (*.txt)</translation>
    </message>
    <message>
        <source>Report saved to %1</source>
        <translation>Отчёт сохранён в %1</translation>
    </message>
    <message>
        <source>Could not save the report: %1</source>
        <translation>Не удалось сохранить отчёт: %1</translation>
    </message>
    <message>
        <source>Several...</source>
        <translation>Несколько...</translation>
    </message>
    <message>
        <source>Choose several packages</source>
        <translation>Выбрать несколько пакетов</translation>
    </message>
    <message>
        <source>Choose several packages to sign, verify or dump at once</source>
        <translation>Выбрать несколько пакетов, чтобы подписать, проверить или показать их подписи разом</translation>
    </message>
    <message>
        <source>Select RPM packages</source>
        <translation>Выберите RPM-пакеты</translation>
    </message>
    <message>
        <source>The folder holds no RPM packages</source>
        <translation>В папке нет RPM-пакетов</translation>
    </message>
    <message numerus="yes">
        <source>%n package(s)</source>
        <translation>
            <numerusform>%n пакет</numerusform>
            <numerusform>%n пакета</numerusform>
            <numerusform>%n пакетов</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 signed</source>
        <translation>подписано: %1</translation>
    </message>
    <message>
        <source>%1 verified</source>
        <translation>проверено: %1</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::SignOptionsPage</name>
    <message>
        <source>Sign packages</source>
        <translation>Подпись пакетов</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::SignOptionsWidget</name>
    <message>
        <source>Privacy-Enhanced Mail container (*.pem)</source>
        <translation>Контейнер Privacy-Enhanced Mail (*.pem)</translation>
    </message>
    <message>
        <source>The path to the key file that will be used by default to sign rpm packages</source>
        <translation>Путь к файлу ключа, которым по умолчанию подписываются RPM-пакеты</translation>
    </message>
    <message>
        <source>The path to the certificate file that will be used by default to sign rpm packages</source>
        <translation>Путь к файлу сертификата, которым по умолчанию подписываются RPM-пакеты</translation>
    </message>
    <message>
        <source>Regular key</source>
        <translation>Обычный ключ</translation>
    </message>
    <message>
        <source>Custom key</source>
        <translation>Свой ключ</translation>
    </message>
    <message>
        <source>Regular certificate</source>
        <translation>Обычный сертификат</translation>
    </message>
    <message>
        <source>Custom certificate</source>
        <translation>Свой сертификат</translation>
    </message>
    <message>
        <source>File does not exist</source>
        <translation>Файл не существует</translation>
    </message>
    <message>
        <source>The CA certificate that sign steps verify the signatures against when they name none of their own</source>
        <translation>Сертификат УЦ, которым шаги подписи проверяют подписи, если свой не задан</translation>
    </message>
    <message>
        <source>Select the CA certificate to verify against</source>
        <translation>Выберите сертификат УЦ для проверки</translation>
    </message>
    <message>
        <source>Select CA certificate (*.pem)</source>
        <translation>Выберите сертификат УЦ (*.pem)</translation>
    </message>
    <message>
        <source>A refused or failed signing, or a package that does not verify, makes its step fail, and problems found before the deploy keep it from starting</source>
        <translation>Отказ или сбой подписи, а также пакет, не прошедший проверку, завершают шаг с ошибкой, а проблемы, найденные до развёртывания, не дают ему начаться</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::SignStep</name>
    <message>
        <source>Error: No build engine found for the kit &quot;%1&quot;</source>
        <translation>Ошибка: для комплекта «%1» не найдена среда сборки</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Предупреждение: %1</translation>
    </message>
    <message>
        <source>Packages were not signed by the step &quot;%1&quot;.</source>
        <translation>Шаг «%1» не подписал пакеты.</translation>
    </message>
    <message>
        <source>Error: The deploy is not started: the files of the step &quot;%1&quot; have problems, listed in the Issues pane.</source>
        <translation>Ошибка: развёртывание не начато: с файлами шага «%1» есть проблемы, они перечислены на панели «Проблемы».</translation>
    </message>
    <message>
        <source>No CA certificate is set to verify the signatures against.</source>
        <translation>Не задан сертификат УЦ для проверки подписей.</translation>
    </message>
    <message>
        <source>The file %1 is not inside the folders shared with the build engine.</source>
        <translation>Файл %1 находится вне папок, общих с движком сборки.</translation>
    </message>
    <message>
        <source>The file %1 does not exist.</source>
        <translation>Файл %1 не существует.</translation>
    </message>
    <message>
        <source>The file %1 can&apos;t be read.</source>
        <translation>Файл %1 не удаётся прочитать.</translation>
    </message>
    <message>
        <source>A key or certificate that the step signs with is not set.</source>
        <translation>Не задан ключ или сертификат, которым шаг подписывает пакеты.</translation>
    </message>
    <message>
        <source>Error: The signatures can&apos;t be verified: no CA certificate is set.</source>
        <translation>Ошибка: подписи не удаётся проверить: не задан сертификат УЦ.</translation>
    </message>
    <message>
        <source>Verifying signatures with %1...</source>
        <translation>Проверка подписей с %1...</translation>
    </message>
    <message>
        <source>Error: %1 does not verify against %2: %3</source>
        <translation>Ошибка: %1 не проходит проверку с %2: %3</translation>
    </message>
    <message>
        <source>Signatures verified: %1 of %2 packages.</source>
        <translation>Подписи проверены: пакетов %1 из %2.</translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::TamarekPlugin</name>
    <message>
        <source>&amp;Sign Packages</source>
        <translation>&amp;Подписать пакеты</translation>
    </message>
    <message>
        <source>Forget Remembered Passphrases</source>
        <translation>Забыть запомненные пароли</translation>
    </message>
    <message>
        <source>No workspace folder is set.</source>
        <translation>Рабочая папка не задана.</translation>
    </message>
    <message>
        <source>[E] Failed to copy regular keys:	%1</source>
        <translation>[E] Не удалось скопировать обычные ключи:	%1</translation>
    </message>
    <message>
        <source>[W] Please make sure that the &apos;%1&apos; is writable and restart the ide</source>
        <translation>[W] Убедитесь, что в «%1» разрешена запись, и перезапустите среду</translation>
    </message>
    <message>
        <source>[W] OR</source>
        <translation>[W] ИЛИ</translation>
    </message>
    <message>
        <source>[W] Specify the path to the default signature keys in the settings</source>
        <translation>[W] Укажите в настройках путь к ключам подписи по умолчанию</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>Папка «%1» не существует.</translation>
    </message>
</context>
</TS>
