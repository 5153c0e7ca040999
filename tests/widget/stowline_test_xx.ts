<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Stowline</name>
    <message>
        <source>Change Route</source>
        <translation>Route ändern</translation>
    </message>
    <message>
        <source>Please select a route to change.</source>
        <translation>Bitte zuerst die Route wählen, die geändert werden soll.</translation>
    </message>
    <message>
        <source>Information Required</source>
        <translation>Angabe fehlt</translation>
    </message>
</context>
</TS>
