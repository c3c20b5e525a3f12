<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de-DE">
<context>
    <name>MainDialog</name>
    <message>
        <location filename="../forms/main.ui" line="14"/>
        <source>Main form</source>
        <translation>Hauptformular</translation>
    </message>
    <message>
        <location filename="../forms/main.ui" line="22"/>
        <source>Press me</source>
        <translation>Drück mich</translation>
    </message>
    <message>
        <location filename="../forms/main.ui" line="36"/>
        <source>Your name</source>
        <translation>Ihr Name</translation>
    </message>
    <message>
        <location filename="../forms/main.ui" line="59"/>
        <source>First line
Second line</source>
        <translation>Erste Zeile
Zweite Zeile</translation>
    </message>
    <message>
        <location filename="../forms/main.ui" line="67"/>
        <source>Size &amp; weight</source>
        <translation>Größe &amp; Gewicht</translation>
    </message>
</context>
</TS>
