<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>TranslatedDialog</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>TranslatedPage</name>
    <message>
        <source>Name:</source>
        <translation>Name (de):</translation>
    </message>
</context>
</TS>
