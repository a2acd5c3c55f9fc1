<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
<context>
    <name>orv_localizable</name>
    <message><source>Now</source><translation>Сейчас</translation></message>
    <message><source>Program</source><translation>Программа</translation></message>
    <message><source>Twitter</source><translation>Twitter</translation></message>
    <message><source>Profile</source><translation>Профиль</translation></message>
    <message><source>Settings</source><translation>Настройки</translation></message>
    <message><source>City</source><translation>Город</translation></message>
    <message><source>Channels</source><translation>Каналы</translation></message>
    <message><source>Error</source><translation>Ошибка</translation></message>
    <message><source>OK</source><translation>OK</translation></message>
    <message><source>Connection Error</source><translation>Ошибка соединения</translation></message>
    <message><source>Cannot connect to Orvane services. Check the connection.</source><translation>Не удаётся подключиться к сервисам Orvane. Проверьте соединение.</translation></message>
</context>
</TS>
