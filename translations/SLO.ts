<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="sl_SI" sourcelanguage="en">
<context>
    <name>SolarRose</name>
    <message>
        <source>Time\</source>
        <translation>Čas\</translation>
    </message>
    <message>
        <source>Data from</source>
        <translation>Podatki od</translation>
    </message>
    <message>
        <source>till</source>
        <translation>do</translation>
    </message>
    <message>
        <source>No. all:</source>
        <translation>Št. vseh:</translation>
    </message>
    <message>
        <source>No. good:</source>
        <translation>Št. dobrih:</translation>
    </message>
    <message>
        <source>No. unknown:</source>
        <translation>Št. neznanih:</translation>
    </message>
    <message>
        <source>all:</source>
        <translation>vseh:</translation>
    </message>
    <message>
        <source>good:</source>
        <translation>dobrih:</translation>
    </message>
    <message>
        <source>unknown:</source>
        <translation>neznanih:</translation>
    </message>
    <message>
        <source>hours:</source>
        <translation>ure:</translation>
    </message>
    <message>
        <source>apparent solar time at %1</source>
        <translation>pravi sončni čas na %1</translation>
    </message>
    <message>
        <source>from</source>
        <translation>od</translation>
    </message>
    <message>
        <source>months:</source>
        <translation>meseci:</translation>
    </message>
</context>
</TS>
