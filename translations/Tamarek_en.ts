<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>QtC::Tamarek</name>
    <message numerus="yes">
        <source>The certificate %1 expires on %2, in %n day(s).</source>
        <translation>
            <numerusform>The certificate %1 expires on %2, in %n day.</numerusform>
            <numerusform>The certificate %1 expires on %2, in %n days.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Expires in %n day(s).</source>
        <translation>
            <numerusform>Expires in %n day.</numerusform>
            <numerusform>Expires in %n days.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>openssl did not answer within %n second(s).</source>
        <translation>
            <numerusform>openssl did not answer within %n second.</numerusform>
            <numerusform>openssl did not answer within %n seconds.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Tamarek::Internal::SignDialog</name>
    <message numerus="yes">
        <source>%n package(s)</source>
        <translation>
            <numerusform>%n package</numerusform>
            <numerusform>%n packages</numerusform>
        </translation>
    </message>
</context>
</TS>
