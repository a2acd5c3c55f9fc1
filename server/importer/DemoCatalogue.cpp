#include "DemoCatalogue.h"

#include <QMap>

namespace DemoCatalogue {

const QList<City>& cities()
{
    static const QList<City> list = {
        {1, QStringLiteral("Москва"), 180, 55.7558, 37.6173},
        {2, QStringLiteral("Санкт-Петербург"), 180, 59.9386, 30.3141},
        {3, QStringLiteral("Екатеринбург"), 300, 56.8389, 60.6057},
    };
    return list;
}

const QList<Category>& categories()
{
    // A category's number is its index in the application's channel list and picks its icon
    // there (1 children, 2 knowledge, 3 music, 5 sport, 7 news, 9 films, 10 general, ...);
    // the order is how the lists sort them. Numbers without channels are not listed.
    static const QList<Category> list = {
        {QStringLiteral("Детские"), 5},        {QStringLiteral("Познавательные"), 6},
        {QStringLiteral("Радио"), 7},          {QStringLiteral("Дом и быт"), 8},
        {QStringLiteral("Спорт"), 3},          {QStringLiteral("Путешествия"), 9},
        {QStringLiteral("Новости"), 2},        {QStringLiteral("Кулинария"), 10},
        {QStringLiteral("Кино и сериалы"), 4}, {QStringLiteral("Общероссийские"), 1},
    };
    return list;
}

const QList<Channel>& channels()
{
    static const QList<Channel> list = {
        {1, QStringLiteral("Первый городской"), 10, Format::General, QStringLiteral("Всегда первый"), true},
        {2, QStringLiteral("Центральное ТВ"), 10, Format::General, QStringLiteral("В центре событий"), true},
        {3, QStringLiteral("Столица"), 10, Format::General, QStringLiteral("Город, который не спит"), true},
        {4, QStringLiteral("Отечество"), 10, Format::General, QStringLiteral("Наше общее"), true},
        {5, QStringLiteral("ТВ Семья"), 10, Format::General, QStringLiteral("Смотрим вместе"), true},
        {6, QStringLiteral("Пятая кнопка"), 10, Format::General, QStringLiteral("Нажми и смотри"), true},
        {7, QStringLiteral("Новости 24"), 7, Format::News, QStringLiteral("Круглосуточно о главном"), false},
        {8, QStringLiteral("Экономика ТВ"), 7, Format::News, QStringLiteral("Деньги любят счёт"), false},
        {9, QStringLiteral("Мир сегодня"), 7, Format::News, QStringLiteral("Планета в прямом эфире"), false},
        {10, QStringLiteral("Спорт Арена"), 5, Format::Sport, QStringLiteral("Болей с нами"), false},
        {11, QStringLiteral("Футбол Плюс"), 5, Format::Sport, QStringLiteral("Девяносто минут счастья"),
         false},
        {12, QStringLiteral("Спорт Хит"), 5, Format::Sport, QStringLiteral("Только победы"), false},
        {13, QStringLiteral("Киноман"), 9, Format::Movies, QStringLiteral("Кино без перерыва"), false},
        {14, QStringLiteral("Сериал ТВ"), 9, Format::Series, QStringLiteral("Продолжение следует"), false},
        {15, QStringLiteral("Ретро-кино"), 9, Format::Movies, QStringLiteral("Любимые фильмы"), false},
        {16, QStringLiteral("Комедия"), 9, Format::Movies, QStringLiteral("Смеяться полезно"), false},
        {17, QStringLiteral("Мультляндия"), 1, Format::Kids, QStringLiteral("Страна мультфильмов"), false},
        {18, QStringLiteral("Умка ТВ"), 1, Format::Kids, QStringLiteral("Учимся играя"), false},
        {19, QStringLiteral("Планета знаний"), 2, Format::Knowledge, QStringLiteral("Узнавай больше"), false},
        {20, QStringLiteral("Дикая природа"), 2, Format::Knowledge, QStringLiteral("Мир вокруг нас"), false},
        {21, QStringLiteral("История ТВ"), 2, Format::Knowledge, QStringLiteral("Прошлое рядом"), false},
        {22, QStringLiteral("Путешествия"), 2, Format::Knowledge, QStringLiteral("Весь мир на экране"),
         false},
        {101, QStringLiteral("Радио Орбита"), 3, Format::Radio, QStringLiteral("Музыка на орбите"), true},
        {102, QStringLiteral("Радио Пульс"), 3, Format::Radio, QStringLiteral("Ритм большого города"), true},
        {103, QStringLiteral("Радио Классика"), 3, Format::Radio, QStringLiteral("Вечная музыка"), false},
        {104, QStringLiteral("Новости FM"), 3, Format::Radio, QStringLiteral("Слушайте главное"), false},
        {105, QStringLiteral("Джаз Клуб"), 3, Format::Radio, QStringLiteral("Свинг круглые сутки"), false},
        {106, QStringLiteral("Радио Трасса"), 3, Format::Radio, QStringLiteral("С вами в пути"), false},
    };
    return list;
}

const QList<Variant>& variants()
{
    static const QList<Variant> list = {
        {3, 1, 201, QStringLiteral(" (Урал)")},
        {3, 2, 202, QStringLiteral(" (Урал)")},
        {3, 3, 203, QStringLiteral(" (Урал)")},
    };
    return list;
}

namespace {

Show film(const QString& title, const QString& genre, int minutes = 105)
{
    return {title, 1, minutes, genre};
}

const QList<Show> Films = {
    film(QStringLiteral("Тихая гавань"), QStringLiteral("Драма")),
    film(QStringLiteral("Последний рейс"), QStringLiteral("Триллер"), 100),
    film(QStringLiteral("Северный ветер"), QStringLiteral("Мелодрама"), 95),
    film(QStringLiteral("Город под дождём"), QStringLiteral("Детектив"), 115),
    film(QStringLiteral("Ключ от лета"), QStringLiteral("Комедия"), 90),
    film(QStringLiteral("Три дня в Казани"), QStringLiteral("Комедия"), 95),
    film(QStringLiteral("Дальний берег"), QStringLiteral("Приключения"), 120),
    film(QStringLiteral("Операция «Метель»"), QStringLiteral("Боевик"), 110),
    film(QStringLiteral("Старый маяк"), QStringLiteral("Драма"), 100),
    film(QStringLiteral("Солнечный круг"), QStringLiteral("Семейный"), 90),
    film(QStringLiteral("Двойная игра"), QStringLiteral("Детектив"), 105),
    film(QStringLiteral("Небо над Волгой"), QStringLiteral("Военный"), 125),
};

const QList<Show> Serials = {
    {QStringLiteral("Участок №7"), 2, 50, QStringLiteral("Детективный сериал")},
    {QStringLiteral("Доктор Лебедев"), 2, 50, QStringLiteral("Медицинская драма")},
    {QStringLiteral("Семейные тайны"), 2, 45, QStringLiteral("Мелодрама")},
    {QStringLiteral("Следствие ведёт Мирон"), 2, 50, QStringLiteral("Детективный сериал")},
    {QStringLiteral("Соседи"), 2, 25, QStringLiteral("Комедийный сериал")},
    {QStringLiteral("Морской патруль"), 2, 50, QStringLiteral("Остросюжетный сериал")},
};

const QList<Show> Leisure = {
    {QStringLiteral("Вечер с друзьями"), 10, 60, QStringLiteral("Ток-шоу")},
    {QStringLiteral("Дачный сезон"), 10, 45, QStringLiteral("Развлекательная программа")},
    {QStringLiteral("Своя кухня"), 10, 40, QStringLiteral("Кулинарное шоу")},
    {QStringLiteral("Большая сцена"), 10, 90, QStringLiteral("Концерт")},
    {QStringLiteral("Кто быстрее"), 10, 50, QStringLiteral("Телеигра")},
};

const QList<Show> Knowledge = {
    {QStringLiteral("Тайны океана"), 20, 50, QStringLiteral("Документальный фильм")},
    {QStringLiteral("Города России"), 20, 30, QStringLiteral("Документальный цикл")},
    {QStringLiteral("История одного изобретения"), 20, 45, QStringLiteral("Научно-популярный")},
    {QStringLiteral("Дикая природа Сибири"), 20, 55, QStringLiteral("Документальный фильм")},
    {QStringLiteral("Космос рядом"), 20, 45, QStringLiteral("Научно-популярный")},
    {QStringLiteral("Великие реки"), 20, 50, QStringLiteral("Документальный цикл")},
};

const QList<Show> Kids = {
    {QStringLiteral("Мультфильмы"), 5, 30, QStringLiteral("Мультипликация")},
    {QStringLiteral("Весёлая азбука"), 5, 15, QStringLiteral("Развивающая программа")},
    {QStringLiteral("Почемучка"), 5, 20, QStringLiteral("Познавательная программа")},
    {QStringLiteral("Приключения Ёжика и Белки"), 5, 25, QStringLiteral("Мультсериал")},
    {QStringLiteral("Мастерская самоделкина"), 5, 20, QStringLiteral("Развивающая программа")},
};

const QList<Show> Sport = {
    {QStringLiteral("Футбол. Чемпионат России. «Волга» — «Урал»"), 30, 115,
     QStringLiteral("Прямая трансляция")},
    {QStringLiteral("Хоккей. Чемпионат лиги. «Северсталь» — «Трактор»"), 30, 150,
     QStringLiteral("Прямая трансляция")},
    {QStringLiteral("Теннис. Кубок Кремля. Финал"), 30, 120, QStringLiteral("Трансляция")},
    {QStringLiteral("Спортивный обзор"), 3, 30, QStringLiteral("Спортивная программа")},
    {QStringLiteral("Биатлон. Кубок мира. Спринт"), 30, 90, QStringLiteral("Трансляция")},
    {QStringLiteral("Все на лёд!"), 3, 45, QStringLiteral("Спортивная программа")},
    {QStringLiteral("Лучшие голы недели"), 3, 25, QStringLiteral("Спортивная программа")},
};

const QList<Show> News = {
    {QStringLiteral("Экономика. Итоги часа"), 4, 30, QStringLiteral("Новости")},
    {QStringLiteral("Репортаж"), 4, 25, QStringLiteral("Информационная программа")},
    {QStringLiteral("Мир за неделю"), 4, 45, QStringLiteral("Аналитическая программа")},
    {QStringLiteral("Прогноз погоды"), 4, 10, QStringLiteral("Погода")},
    {QStringLiteral("Интервью"), 4, 30, QStringLiteral("Информационная программа")},
};

const QList<Show> Radio = {
    {QStringLiteral("Утреннее шоу"), 143, 180, QStringLiteral("Музыкальная программа")},
    {QStringLiteral("Музыкальный час"), 143, 60, QStringLiteral("Музыка")},
    {QStringLiteral("Хит-парад"), 143, 120, QStringLiteral("Музыка")},
    {QStringLiteral("Вечерний эфир"), 143, 120, QStringLiteral("Авторская программа")},
    {QStringLiteral("Ночной эфир"), 143, 180, QStringLiteral("Музыка")},
    {QStringLiteral("Гость в студии"), 143, 60, QStringLiteral("Интервью")},
};

QList<Show> joined(std::initializer_list<const QList<Show>*> parts)
{
    QList<Show> all;
    for (const QList<Show>* part : parts)
        all += *part;
    return all;
}

} // namespace

const QList<Show>& shows(Format format)
{
    static const QMap<Format, QList<Show>> pools = {
        {Format::General, joined({&Films, &Serials, &Leisure, &Knowledge, &Kids})},
        {Format::News, News},
        {Format::Sport, Sport},
        {Format::Movies, Films},
        {Format::Series, Serials},
        {Format::Kids, Kids},
        {Format::Knowledge, Knowledge},
        {Format::Radio, Radio},
    };
    return pools.find(format).value();
}

Show newscast(Format format)
{
    switch (format) {
    case Format::General:
    case Format::News:
        return {QStringLiteral("Новости"), 4, 30, QStringLiteral("Новости")};
    case Format::Radio:
        return {QStringLiteral("Новости часа"), 143, 10, QStringLiteral("Новости")};
    default:
        return {};
    }
}

const QStringList& actors()
{
    static const QStringList list = {
        QStringLiteral("Анна Белова"),     QStringLiteral("Игорь Савельев"), QStringLiteral("Мария Крылова"),
        QStringLiteral("Павел Ершов"),     QStringLiteral("Ольга Миронова"), QStringLiteral("Денис Гаврилов"),
        QStringLiteral("Елена Руднева"),   QStringLiteral("Сергей Тихонов"), QStringLiteral("Наталья Зимина"),
        QStringLiteral("Алексей Корнеев"), QStringLiteral("Вера Соколова"),  QStringLiteral("Михаил Панин"),
        QStringLiteral("Юлия Громова"),    QStringLiteral("Артём Лазарев"),  QStringLiteral("Ксения Орлова"),
        QStringLiteral("Виктор Ладыгин"),
    };
    return list;
}

const QStringList& directors()
{
    static const QStringList list = {
        QStringLiteral("Андрей Чернов"),  QStringLiteral("Светлана Дымова"), QStringLiteral("Глеб Каширин"),
        QStringLiteral("Роман Вешняков"), QStringLiteral("Инна Полозова"),   QStringLiteral("Тимур Абдулов"),
    };
    return list;
}

const QStringList& presenters()
{
    static const QStringList list = {
        QStringLiteral("Дмитрий Северов"),  QStringLiteral("Ирина Лаптева"), QStringLiteral("Кирилл Рябов"),
        QStringLiteral("Татьяна Вольская"), QStringLiteral("Олег Шубин"),    QStringLiteral("Алина Ветрова"),
    };
    return list;
}

const QStringList& countries()
{
    static const QStringList list = {QStringLiteral("Россия"), QStringLiteral("СССР"),
                                     QStringLiteral("Франция"), QStringLiteral("Италия"),
                                     QStringLiteral("Великобритания")};
    return list;
}

const QStringList& companies()
{
    static const QStringList list = {QStringLiteral("Северная студия"),
                                     QStringLiteral("Киностудия «Горизонт»"), QStringLiteral("Волга Фильм"),
                                     QStringLiteral("Studio Lumière")};
    return list;
}

const QStringList& descriptions(int flag)
{
    static const QMap<int, QStringList> texts = {
        {1,
         {QStringLiteral(
              "«%1» — история людей, которым приходится сделать трудный выбор. Фильм получил призы "
              "нескольких фестивалей."),
          QStringLiteral(
              "Герои фильма «%1» встречаются случайно, но эта встреча меняет жизнь каждого из них."),
          QStringLiteral(
              "Напряжённый сюжет, прекрасные актёрские работы и неожиданный финал: «%1» смотрится на "
              "одном дыхании.")}},
        {2,
         {QStringLiteral("В новой серии «%1» герои берутся за запутанное дело, а прошлое напоминает о себе."),
          QStringLiteral(
              "«%1»: старые друзья становятся соперниками, и только к концу серии всё встаёт на свои "
              "места.")}},
        {3,
         {QStringLiteral("«%1»: обзор главных событий, интервью со спортсменами и тренерами."),
          QStringLiteral("«%1» — лучшие моменты соревнований и мнения экспертов.")}},
        {4,
         {QStringLiteral("«%1»: главные события в стране и мире, репортажи корреспондентов."),
          QStringLiteral("Оперативная информация о происходящем. «%1» — всё, что нужно знать сегодня.")}},
        {5,
         {QStringLiteral("«%1» — добрые истории для самых маленьких зрителей."),
          QStringLiteral("Вместе с героями программы «%1» дети узнают много нового и интересного.")}},
        {10,
         {QStringLiteral("«%1»: гости студии, музыка, конкурсы и хорошее настроение."),
          QStringLiteral("В программе «%1» — известные артисты и неожиданные встречи.")}},
        {20,
         {QStringLiteral("«%1» рассказывает о том, как устроен мир: от глубин океана до далёких звёзд."),
          QStringLiteral("Авторы цикла «%1» побывали в самых удивительных уголках планеты.")}},
        {30,
         {QStringLiteral("Прямая трансляция. «%1»: решающий матч сезона."),
          QStringLiteral("«%1» — встреча, которую ждали болельщики обеих команд.")}},
        {143,
         {QStringLiteral("«%1»: музыка, новости и звонки слушателей в прямом эфире."),
          QStringLiteral("В эфире «%1» — любимые песни и разговоры о главном.")}},
    };
    static const QStringList none;
    const auto it = texts.find(flag);
    return it == texts.end() ? none : it.value();
}

const QStringList& messages()
{
    static const QStringList list = {
        QStringLiteral("Отличная передача, смотрю всей семьёй!"),
        QStringLiteral("Кто знает, как называется песня в начале?"),
        QStringLiteral("Ведущий сегодня в ударе 👍"),
        QStringLiteral("Опять повтор... Когда будет новый выпуск?"),
        QStringLiteral("Лучший канал, спасибо за эфир!"),
        QStringLiteral("А будет продолжение на следующей неделе?"),
        QStringLiteral("Сижу и не могу оторваться."),
        QStringLiteral("Звук немного тихий, у всех так?"),
        QStringLiteral("Этот фильм смотрел ещё в детстве, до сих пор нравится."),
        QStringLiteral("Передайте привет Екатеринбургу!"),
    };
    return list;
}

const QStringList& viewers()
{
    static const QStringList list = {QStringLiteral("Лена"),      QStringLiteral("Артур"),
                                     QStringLiteral("Марина К."), QStringLiteral("Володя"),
                                     QStringLiteral("Саша П."),   QStringLiteral("Ника")};
    return list;
}

} // namespace DemoCatalogue
