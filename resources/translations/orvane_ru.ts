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
    <message><source>Genre</source><translation>Жанр</translation></message>
    <message><source>Actors</source><translation>В ролях</translation></message>
    <message><source>Anchors</source><translation>Ведущие</translation></message>
    <message><source>Director</source><translation>Режиссёр</translation></message>
    <message><source>Production</source><translation>Производство</translation></message>
    <message><source>Year</source><translation>год</translation></message>
    <message><source>Movie</source><translation>Фильм</translation></message>
    <message><source>Serial</source><translation>Сериал</translation></message>
    <message><source>Sport</source><translation>Спорт</translation></message>
    <message><source>News</source><translation>Новости</translation></message>
    <message><source>Children</source><translation>Детям</translation></message>
    <message><source>Leisure</source><translation>Досуг</translation></message>
    <message><source>Education</source><translation>Познавательное</translation></message>
    <message><source>Championship</source><translation>Чемпионат</translation></message>
    <message><source>Radio</source><translation>Радио</translation></message>
    <message><source>General</source><translation>Разное</translation></message>
    <message><source>at %@</source><translation>в %@</translation></message>
    <message><source>yesterday at %@</source><translation>вчера в %@</translation></message>
    <message><source>today</source><translation>сегодня</translation></message>
    <message><source>yesterday</source><translation>вчера</translation></message>
    <message><source>tomorrow</source><translation>завтра</translation></message>
    <message><source>%0.f hour(s) </source><translation>%0.f ч </translation></message>
    <message><source>%0.f mins</source><translation>%0.f мин</translation></message>
    <message><source>%0.fh</source><translation>%0.fч</translation></message>
    <message><source> %0.fm</source><translation> %0.fм</translation></message>
    <message><source>No channels.</source><translation>Каналов нет.</translation></message>
    <message><source>TV</source><translation>ТВ</translation></message>
    <message><source>can be identified by its sound</source><translation>канал узнаётся по звуку</translation></message>
    <message><source>No programme for this day.</source><translation>На этот день программы нет.</translation></message>
    <message><source>The server has no details of this show.</source><translation>Сервер не знает подробностей этой передачи.</translation></message>
    <message><source>Nothing found.</source><translation>Ничего не найдено.</translation></message>
    <message><source>No channel map for this city.</source><translation>Для этого города нет карты каналов.</translation></message>
    <message><source>The service status is not known.</source><translation>Состояние сервиса неизвестно.</translation></message>
    <message><source>Identification service: working</source><translation>Сервис распознавания: работает</translation></message>
    <message><source>Identification service: not working</source><translation>Сервис распознавания: не работает</translation></message>
    <message><source>People online:</source><translation>Сейчас смотрят:</translation></message>
    <message><source>No messages.</source><translation>Сообщений нет.</translation></message>
    <message><source>This channel has already been added</source><translation>Этот канал уже добавлен</translation></message>
    <message><source>No favourite channels.</source><translation>Избранных каналов нет.</translation></message>
    <message><source>The channel is not a favourite.</source><translation>Этот канал не в избранном.</translation></message>
    <message><source>Added to favourites:</source><translation>Добавлен в избранное:</translation></message>
    <message><source>The favourites could not be stored:</source><translation>Избранное не удалось сохранить:</translation></message>
    <message><source>Removed from favourites.</source><translation>Удалён из избранного.</translation></message>
    <message><source>History cleared.</source><translation>История очищена.</translation></message>
    <message><source>The history is empty.</source><translation>История пуста.</translation></message>
    <message><source>All reminders deleted.</source><translation>Все напоминания удалены.</translation></message>
    <message><source>Past reminders deleted.</source><translation>Прошедшие напоминания удалены.</translation></message>
    <message><source>Reminder deleted:</source><translation>Напоминание удалено:</translation></message>
    <message><source>There was no reminder:</source><translation>Напоминания не было:</translation></message>
    <message><source>Already in the calendar:</source><translation>Уже в календаре:</translation></message>
    <message><source>The reminder could not be saved.</source><translation>Напоминание не удалось сохранить.</translation></message>
    <message><source>Reminder added:</source><translation>Напоминание добавлено:</translation></message>
    <message><source>Loading</source><translation>Загрузка…</translation></message>
    <message><source>Share a tweet</source><translation>Поделиться в Twitter</translation></message>
    <message><source>Choose your city</source><translation>Выберите город</translation></message>
    <message><source>For additional details choose your city.</source><translation>Чтобы видеть программу вашего города, выберите город.</translation></message>
    <message><source>Later</source><translation>Позже</translation></message>
    <message><source>Choose</source><translation>Выбрать</translation></message>
    <message><source>Cancel</source><translation>Отмена</translation></message>
    <message><source>Sign in to Twitter to share.</source><translation>Чтобы поделиться, войдите в Twitter.</translation></message>
    <message><source>Details</source><translation>Подробнее</translation></message>
    <message><source>Search</source><translation>Поиск</translation></message>
    <message><source>Info</source><translation>Информация</translation></message>
    <message><source>Description</source><translation>Описание</translation></message>
    <message><source>Dur</source><translation>Длительность</translation></message>
    <message><source>Kinopoisk(%@)</source><translation>КиноПоиск (%@)</translation></message>
    <message><source>IMDB(%@)</source><translation>IMDb (%@)</translation></message>
    <message><source>Notify</source><translation>Напомнить</translation></message>
    <message><source>Done</source><translation>Готово</translation></message>
    <message><source>Success!</source><translation>Готово!</translation></message>
    <message><source>Fail!</source><translation>Не получилось</translation></message>
    <message><source>Success delete!</source><translation>Удалено</translation></message>
    <message><source>The show has been successfully added to Calendar</source><translation>Передача добавлена в календарь</translation></message>
    <message><source>The show already has been added to Calendar</source><translation>Передача уже есть в календаре</translation></message>
    <message><source>The show has been deleted from Calendar</source><translation>Передача удалена из календаря</translation></message>
    <message><source>Add to Calendar</source><translation>Добавить в календарь</translation></message>
    <message><source>Delete from Calendar</source><translation>Удалить из календаря</translation></message>
    <message><source>The show could not be read.</source><translation>Не удалось прочитать передачу.</translation></message>
    <message><source>Do not miss &quot;%@&quot; - &quot;%@&quot; at %@</source><translation>Не пропустите: «%@» — «%@» в %@</translation></message>
    <message><source>I'm watching &quot;%@&quot; - &quot;%@&quot;</source><translation>Смотрю «%@» — «%@»</translation></message>
    <message><source>I'm listen &quot;%@&quot; - &quot;%@&quot;</source><translation>Слушаю «%@» — «%@»</translation></message>
    <message><source>On &quot;%@&quot; tv channel &quot;%@&quot; now</source><translation>Сейчас на телеканале «%@»: «%@»</translation></message>
    <message><source>Identifying the channel…</source><translation>Определяем канал…</translation></message>
    <message><source>On &quot;%@&quot; radio &quot;%@&quot; now</source><translation>Сейчас на радио «%@»: «%@»</translation></message>
    <message><source>%@ on tv &quot;%@&quot; show &quot;%@&quot;</source><translation>%@ на телеканале «%@» шла передача «%@»</translation></message>
    <message><source>%@ on radio &quot;%@&quot; show &quot;%@&quot;</source><translation>%@ на радио «%@» шла передача «%@»</translation></message>
    <message><source>No data</source><translation>Нет данных</translation></message>
    <message><source>Time</source><translation>Время</translation></message>
    <message><source>Edit</source><translation>Изменить</translation></message>
    <message><source>&quot;%@&quot; - &quot;%@&quot; at %@</source><translation>«%@» — «%@», %@</translation></message>
    <message><source>Favorites</source><translation>Избранное</translation></message>
    <message><source>Add to favorites</source><translation>В избранное</translation></message>
    <message><source>Remove from favorites</source><translation>Убрать из избранного</translation></message>
    <message><source>Program for the day is not</source><translation>Программы на этот день нет</translation></message>
    <message><source>Choose channel...</source><translation>Выберите канал…</translation></message>
    <message><source>Selected Category</source><translation>Категория</translation></message>
    <message><source>All</source><translation>Все</translation></message>
    <message><source>Searching</source><translation>Поиск…</translation></message>
    <message><source>Location</source><translation>Местоположение</translation></message>
    <message><source>Calendar</source><translation>Календарь</translation></message>
    <message><source>Social Networking</source><translation>Социальные сети</translation></message>
    <message><source>Clear History</source><translation>Очистить историю</translation></message>
    <message><source>Autoupdate</source><translation>Автоопределение канала</translation></message>
    <message><source>Dont Sleep mode</source><translation>Не гасить экран</translation></message>
    <message><source>About</source><translation>О программе</translation></message>
    <message><source>My city</source><translation>Мой город</translation></message>
    <message><source>Clear past events</source><translation>Удалить прошедшие напоминания</translation></message>
    <message><source>Clear all events</source><translation>Удалить все напоминания</translation></message>
    <message><source>Connected</source><translation>Подключён</translation></message>
    <message><source>Disconnected</source><translation>Не подключён</translation></message>
    <message><source>Cleared</source><translation>Очищено</translation></message>
    <message><source>Warning</source><translation>Внимание</translation></message>
    <message><source>Low battery. Turn on non sleep mode?</source><translation>Батарея почти разряжена. Всё равно не гасить экран?</translation></message>
    <message><source>Yes</source><translation>Да</translation></message>
    <message><source>Warning!</source><translation>Внимание!</translation></message>
    <message><source>Calendar access not granted.</source><translation>Нет доступа к календарю.</translation></message>
    <message><source>Do you really want clear all calendar events?</source><translation>Удалить все напоминания Orvane из календаря?</translation></message>
    <message><source>Clear</source><translation>Удалить</translation></message>
    <message><source>Orvane</source><translation>Orvane</translation></message>
    <message><source>Orvane %@, a TV programme guide. %C 2026 Orvane</source><translation>Orvane %@, телепрограмма.
%C 2026 Orvane</translation></message>
    <message><source>Connecting</source><translation>Подключение…</translation></message>
    <message><source>Connected!</source><translation>Подключено!</translation></message>
    <message><source>Disconnected!</source><translation>Отключено!</translation></message>
    <message><source>The history could not be cleared.</source><translation>Не удалось очистить историю: она сохранена как была.</translation></message>
    <message><source>Not select</source><translation>Не выбран</translation></message>
    <message><source>History</source><translation>История</translation></message>
    <message><source>Rating</source><translation>Рейтинг</translation></message>
    <message><source>@Unknown</source><translation>@неизвестно</translation></message>
    <message><source>Unknown</source><translation>Гость</translation></message>
    <message><source>Find my city</source><translation>Найти мой город</translation></message>
    <message><source>Starts at %@</source><translation>Начало в %@</translation></message>
    <message><source>Follow us</source><translation>Читать нас</translation></message>
    <message><source>TV/Radio</source><translation>ТВ/Радио</translation></message>
    <message><source>Channel</source><translation>Канал</translation></message>
    <message><source>OnAIR</source><translation>Упоминания</translation></message>
    <message><source>Friends</source><translation>Друзья</translation></message>
    <message><source>Show more</source><translation>Показать ещё</translation></message>
    <message><source>Deleting</source><translation>Удаление…</translation></message>
    <message><source>Sign In</source><translation>Войти</translation></message>
    <message><source>Reply</source><translation>Ответить</translation></message>
    <message><source>Retweet</source><translation>Ретвитнуть</translation></message>
    <message><source>Delete</source><translation>Удалить</translation></message>
    <message><source>Send</source><translation>Отправить</translation></message>
    <message><source>Saved!</source><translation>Отправлено!</translation></message>
    <message><source>I'm watching %@ - %@</source><translation>Смотрю %@ — %@</translation></message>
    <message><source>In order to Reply, Retweet or Delete messages, please connect to Twitter</source><translation>Чтобы отвечать, ретвитить и удалять сообщения, подключите Twitter в настройках</translation></message>
    <message><source>Open this address, sign in and type the PIN it shows:</source><translation>Откройте этот адрес, войдите и введите PIN-код со страницы:</translation></message>
    <message><source>Open this address in a browser to sign in:</source><translation>Чтобы войти, откройте этот адрес в браузере:</translation></message>
    <message><source>Apply</source><translation>Применить</translation></message>
    <message><source>Close</source><translation>Закрыть</translation></message>
    <message><source>Text above</source><translation>Текст сверху</translation></message>
    <message><source>Text below</source><translation>Текст снизу</translation></message>
    <message><source>Sign out</source><translation>Выйти</translation></message>
    <message><source>View Details</source><translation>Подробнее</translation></message>
    <message><source>All channels</source><translation>Все каналы</translation></message>
    <message><source>This channel</source><translation>Этот канал</translation></message>
    <message><source>Timeline</source><translation>Лента</translation></message>
    <message><source>Mentions</source><translation>Упоминания</translation></message>
    <message><source>No Twitter Accounts</source><translation>Нет учётных записей Twitter</translation></message>
    <message><source>There are no Twitter accounts on this computer. Sign in to add one.</source><translation>На этом компьютере нет учётных записей Twitter. Войдите, чтобы добавить учётную запись.</translation></message>
    <message><source>Sign in</source><translation>Войти</translation></message>
</context>
</TS>
