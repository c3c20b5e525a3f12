<?xml version="1.0" encoding="utf-8"?>
<TS version="2.1" language="en-US">
<context>
    <name>Extra</name>
    <message>
        <location filename="extra.ui" line="3"/>
        <translation>Extra text</translation>
    </message>
</context>
</TS>
