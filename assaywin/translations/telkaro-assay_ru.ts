<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Assay</name>
    <message>
        <source>the standard curve cannot be fitted: %1</source>
        <translation>стандартную кривую построить нельзя: %1</translation>
    </message>
    <message>
        <source>the cut-off "%1" has no value: %2</source>
        <translation>у порога "%1" нет значения: %2</translation>
    </message>
    <message>
        <source>the cut-off "%1" is %2, not above 0: no sample can be judged by it</source>
        <translation>порог "%1" равен %2, а не больше 0: по нему нельзя оценить образцы</translation>
    </message>
    <message>
        <source>the kit's layout uses %1 strips; the plate has %2</source>
        <translation>раскладка набора занимает стрипов: %1; на плашке их %2</translation>
    </message>
    <message>
        <source>no well of %1 has a density (%2)</source>
        <translation>ни у одной лунки %1 нет оптической плотности (%2)</translation>
    </message>
    <message>
        <source>this curve needs standards at %1 different concentrations or more, and there are %2</source>
        <translation>для этой кривой нужны стандарты не менее чем %1 разных концентраций, а их %2</translation>
    </message>
    <message>
        <source>the curve could not be fitted to the standards: check the standards' densities, or choose another curve</source>
        <translation>кривую не удалось подогнать к стандартам: проверьте оптические плотности стандартов или выберите другую кривую</translation>
    </message>
    <message>
        <source>a standard's concentration or density is not a number</source>
        <translation>концентрация или оптическая плотность стандарта не является числом</translation>
    </message>
    <message>
        <source>standards at 0 left out of the log-linear fit</source>
        <translation>стандарты с концентрацией 0 не вошли в логарифмически-линейную подгонку</translation>
    </message>
    <message>
        <source>a standard has a concentration below 0, where this curve is not defined</source>
        <translation>у стандарта концентрация меньше 0, где эта кривая не определена</translation>
    </message>
    <message>
        <source>the standards' densities are all the same: no curve can be fitted</source>
        <translation>оптические плотности всех стандартов одинаковы: кривую построить нельзя</translation>
    </message>
    <message>
        <source>no standard has a density above 0, so the points cannot be weighted by their density: choose no weighting</source>
        <translation>ни у одного стандарта нет плотности больше 0, поэтому точки нельзя взвесить по плотности: выберите подгонку без весов</translation>
    </message>
    <message>
        <source>the standards' mean densities do not steadily rise or fall with the concentration, so no point-to-point curve can be drawn through them</source>
        <translation>средние плотности стандартов не растут и не убывают монотонно с концентрацией, поэтому ломаную через них провести нельзя</translation>
    </message>
    <message>
        <source>the result is not a finite number</source>
        <translation>результат не является конечным числом</translation>
    </message>
    <message>
        <source>division by zero</source>
        <translation>деление на ноль</translation>
    </message>
    <message>
        <source>the group %1 has no well with a density</source>
        <translation>в группе %1 нет лунки с оптической плотностью</translation>
    </message>
    <message>
        <source>%1(%2) needs at least two wells of %2 with a density</source>
        <translation>для %1(%2) нужны хотя бы две лунки %2 с оптической плотностью</translation>
    </message>
    <message>
        <source>cv(%1) is not defined: the mean of %1 is 0</source>
        <translation>cv(%1) не определён: среднее %1 равно 0</translation>
    </message>
    <message>
        <source>unexpected comma (numbers take a decimal point: 0.150)</source>
        <translation>неожиданная запятая (в числах ставится точка: 0.150)</translation>
    </message>
    <message>
        <source>unexpected character “%1”</source>
        <translation>неожиданный символ «%1»</translation>
    </message>
    <message>
        <source>%1 takes one group in its parentheses, as in %1(NC)</source>
        <translation>в скобках %1 указывается одна группа, например %1(NC)</translation>
    </message>
    <message>
        <source>%1 can stand only in the parentheses of mean, sd, cv, min, max or count, as in mean(%1)</source>
        <translation>%1 может стоять только в скобках mean, sd, cv, min, max или count, например mean(%1)</translation>
    </message>
    <message>
        <source>unknown function %1</source>
        <translation>неизвестная функция %1</translation>
    </message>
    <message>
        <source>no space may stand between %1 and “(”</source>
        <translation>между %1 и «(» не должно быть пробела</translation>
    </message>
    <message>
        <source>no group %1 in the kit's layout</source>
        <translation>в раскладке набора нет группы %1</translation>
    </message>
    <message>
        <source>a closing parenthesis is missing</source>
        <translation>не хватает закрывающей скобки</translation>
    </message>
    <message>
        <source>unexpected parenthesis</source>
        <translation>неожиданная скобка</translation>
    </message>
    <message>
        <source>unexpected operator “%1”</source>
        <translation>неожиданный оператор «%1»</translation>
    </message>
    <message>
        <source>an operator is missing before “%1”</source>
        <translation>перед «%1» не хватает оператора</translation>
    </message>
    <message>
        <source>unexpected “%1”</source>
        <translation>неожиданное «%1»</translation>
    </message>
    <message>
        <source>the formula breaks off at its end</source>
        <translation>формула обрывается на конце</translation>
    </message>
    <message>
        <source>the formula cannot be read</source>
        <translation>формулу не удаётся прочитать</translation>
    </message>
    <message>
        <source>the formula is empty</source>
        <translation>формула пуста</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: field "%2": %3</source>
        <translation>%1: поле "%2": %3</translation>
    </message>
    <message>
        <source>missing, or not a list of 8 rows</source>
        <translation>отсутствует или не является списком из 8 рядов</translation>
    </message>
    <message>
        <source>has %1 rows; a plate has 8, A to H</source>
        <translation>содержит рядов: %1; у плашки их 8, от A до H</translation>
    </message>
    <message>
        <source>row %1 is not a text</source>
        <translation>ряд %1 не является текстом</translation>
    </message>
    <message>
        <source>row %1 has %2 wells; a row has 12</source>
        <translation>в ряду %1 лунок: %2; в ряду их 12</translation>
    </message>
    <message>
        <source>unknown token "%1" in well %2%3 (BLK, S1…S99, NC, PC, a control listed in "controls", U1…U999 or -)</source>
        <translation>неизвестное обозначение "%1" в лунке %2%3 (BLK, S1…S99, NC, PC, контроль из "controls", U1…U999 или -)</translation>
    </message>
    <message>
        <source>not an object of token and number</source>
        <translation>не является объектом из обозначений и чисел</translation>
    </message>
    <message>
        <source>%1 is not a number above 0</source>
        <translation>%1 не является числом больше 0</translation>
    </message>
    <message>
        <source>%1 is not a number of 0 or more</source>
        <translation>%1 не является числом от 0 и больше</translation>
    </message>
    <message>
        <source>"%1" at position %2: %3</source>
        <translation>"%1" в позиции %2: %3</translation>
    </message>
    <message>
        <source>"%1": %2</source>
        <translation>"%1": %2</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>файл пуст</translation>
    </message>
    <message>
        <source>not JSON: %1 at character %2</source>
        <translation>не JSON: %1 в символе %2</translation>
    </message>
    <message>
        <source>not a kit: the file holds no JSON object</source>
        <translation>не набор: в файле нет объекта JSON</translation>
    </message>
    <message>
        <source>missing; a kit file says "%1"</source>
        <translation>отсутствует; в файле набора указано "%1"</translation>
    </message>
    <message>
        <source>"%1" is not "%2"</source>
        <translation>"%1" — не "%2"</translation>
    </message>
    <message>
        <source>missing or empty</source>
        <translation>отсутствует или пусто</translation>
    </message>
    <message>
        <source>not a list of names</source>
        <translation>не является списком имён</translation>
    </message>
    <message>
        <source>"%1" cannot name a control (a letter, then letters, digits or _; not BLK, Sn or Un)</source>
        <translation>"%1" не может быть именем контроля (буква, затем буквы, цифры или _; не BLK, Sn или Un)</translation>
    </message>
    <message>
        <source>the standard %1 of the layout has no concentration</source>
        <translation>у стандарта %1 из раскладки нет концентрации</translation>
    </message>
    <message>
        <source>%1 and %2 have the same concentration, %3</source>
        <translation>у %1 и %2 одинаковая концентрация, %3</translation>
    </message>
    <message>
        <source>"%1" is neither "subtract" nor "none"</source>
        <translation>"%1" — ни "subtract", ни "none"</translation>
    </message>
    <message>
        <source>"subtract", but the layout has no BLK well</source>
        <translation>"subtract", но в раскладке нет лунки BLK</translation>
    </message>
    <message>
        <source>a kit has either "cutoff" or "curve", not %1</source>
        <translation>у набора есть либо "cutoff", либо "curve", а здесь %1</translation>
    </message>
    <message>
        <source>both</source>
        <translation>оба</translation>
    </message>
    <message>
        <source>neither</source>
        <translation>ни одного</translation>
    </message>
    <message>
        <source>not a formula</source>
        <translation>не является формулой</translation>
    </message>
    <message>
        <source>not a fraction from 0 up to 1 (0.10 is 10 %)</source>
        <translation>не является долей от 0 до 1 (0.10 — это 10 %)</translation>
    </message>
    <message>
        <source>"%1" is neither "above" nor "below"</source>
        <translation>"%1" — ни "above", ни "below"</translation>
    </message>
    <message>
        <source>model "%1" is not linear, loglinear, point-to-point, 4pl or 5pl</source>
        <translation>модель "%1" — не linear, loglinear, point-to-point, 4pl или 5pl</translation>
    </message>
    <message>
        <source>weighting "%1" is not none, 1/y or 1/y^2</source>
        <translation>взвешивание "%1" — не none, 1/y или 1/y^2</translation>
    </message>
    <message>
        <source>the model %1 needs at least %2 standards of different concentrations; the layout has %3</source>
        <translation>для модели %1 нужны стандарты не менее чем %2 разных концентраций; в раскладке их %3</translation>
    </message>
    <message>
        <source>not a list of formulas</source>
        <translation>не является списком формул</translation>
    </message>
    <message>
        <source>a rule is not a formula</source>
        <translation>правило не является формулой</translation>
    </message>
    <message>
        <source>not a percentage above 0</source>
        <translation>не является процентом больше 0</translation>
    </message>
    <message>
        <source>%1: no such file</source>
        <translation>%1: такого файла нет</translation>
    </message>
    <message>
        <source>%1: not an ordinary file</source>
        <translation>%1: это не обычный файл</translation>
    </message>
    <message>
        <source>%1: too large to be a kit file (over 1 MiB)</source>
        <translation>%1: слишком велик для файла набора (больше 1 МиБ)</translation>
    </message>
</context>
<context>
    <name>AssayReport</name>
    <message>
        <source>blank</source>
        <translation>бланк</translation>
    </message>
    <message>
        <source>standard</source>
        <translation>стандарт</translation>
    </message>
    <message>
        <source>control</source>
        <translation>контроль</translation>
    </message>
    <message>
        <source>sample</source>
        <translation>образец</translation>
    </message>
    <message>
        <source>unused</source>
        <translation>не используется</translation>
    </message>
    <message>
        <source>positive</source>
        <translation>положительный</translation>
    </message>
    <message>
        <source>negative</source>
        <translation>отрицательный</translation>
    </message>
    <message>
        <source>doubtful</source>
        <translation>сомнительный</translation>
    </message>
    <message>
        <source>below range</source>
        <translation>ниже диапазона</translation>
    </message>
    <message>
        <source>above range</source>
        <translation>выше диапазона</translation>
    </message>
    <message>
        <source>CV above the limit</source>
        <translation>КВ выше предела</translation>
    </message>
    <message>
        <source>a well without a density</source>
        <translation>лунка без оптической плотности</translation>
    </message>
    <message>
        <source>not on the curve</source>
        <translation>не на кривой</translation>
    </message>
    <message>
        <source>Plate map</source>
        <translation>Схема плашки</translation>
    </message>
    <message>
        <source>Standard curve</source>
        <translation>Стандартная кривая</translation>
    </message>
    <message>
        <source>concentration</source>
        <translation>концентрация</translation>
    </message>
    <message>
        <source>concentration, %1</source>
        <translation>концентрация, %1</translation>
    </message>
    <message>
        <source>optical density</source>
        <translation>оптическая плотность</translation>
    </message>
    <message>
        <source>The run is valid</source>
        <translation>Постановка действительна</translation>
    </message>
    <message>
        <source>The run is invalid</source>
        <translation>Постановка недействительна</translation>
    </message>
    <message>
        <source>%1 (value %2)</source>
        <translation>%1 (значение %2)</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Rules not met: %1</source>
        <translation>Не выполнены правила: %1</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Образец</translation>
    </message>
    <message>
        <source>Wells</source>
        <translation>Лунки</translation>
    </message>
    <message>
        <source>OD</source>
        <translation>ОП</translation>
    </message>
    <message>
        <source>CV, %</source>
        <translation>КВ, %</translation>
    </message>
    <message>
        <source>S/CO</source>
        <translation>S/CO</translation>
    </message>
    <message>
        <source>Concentration</source>
        <translation>Концентрация</translation>
    </message>
    <message>
        <source>Concentration, %1</source>
        <translation>Концентрация, %1</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Заключение</translation>
    </message>
    <message>
        <source>Flags</source>
        <translation>Отметки</translation>
    </message>
    <message>
        <source>diluted 1:%1</source>
        <translation>разведение 1:%1</translation>
    </message>
    <message>
        <source>Kit file</source>
        <translation>Файл набора</translation>
    </message>
    <message>
        <source>Kit file SHA-256</source>
        <translation>SHA-256 файла набора</translation>
    </message>
    <message>
        <source>Plate</source>
        <translation>Плашка</translation>
    </message>
    <message>
        <source>Plate measured</source>
        <translation>Плашка измерена</translation>
    </message>
    <message>
        <source>Plate SHA-256</source>
        <translation>SHA-256 плашки</translation>
    </message>
    <message>
        <source>Analysed</source>
        <translation>Анализ</translation>
    </message>
    <message>
        <source>Blank</source>
        <translation>Бланк</translation>
    </message>
    <message>
        <source>mean of the blank wells, %1 subtracted</source>
        <translation>среднее бланковых лунок, %1, вычтено</translation>
    </message>
    <message>
        <source>not subtracted</source>
        <translation>не вычитается</translation>
    </message>
    <message>
        <source>Cut-off</source>
        <translation>Порог</translation>
    </message>
    <message>
        <source>%1 = %2, grey zone ±%3 %, positive %4</source>
        <translation>%1 = %2, серая зона ±%3 %, положительный %4</translation>
    </message>
    <message>
        <source>above</source>
        <translation>выше</translation>
    </message>
    <message>
        <source>below</source>
        <translation>ниже</translation>
    </message>
    <message>
        <source>, weighting %1</source>
        <translation>, взвешивание %1</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Примечание</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Результаты</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Группа</translation>
    </message>
    <message>
        <source>SD</source>
        <translation>СО</translation>
    </message>
    <message>
        <source>Back-calculated</source>
        <translation>Обратный расчёт</translation>
    </message>
    <message>
        <source>Recovery, %</source>
        <translation>Открываемость, %</translation>
    </message>
    <message>
        <source>Blank, standards and controls</source>
        <translation>Бланк, стандарты и контроли</translation>
    </message>
    <message>
        <source>Validity rules</source>
        <translation>Правила валидности</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>Правило</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Met</source>
        <translation>Выполнено</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>да</translation>
    </message>
    <message>
        <source>no</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>Raw densities</source>
        <translation>Исходные оптические плотности</translation>
    </message>
</context>
<context>
    <name>AssayRunner</name>
    <message>
        <source>Measuring</source>
        <translation>Измерение</translation>
    </message>
    <message>
        <source>Reading the plate</source>
        <translation>Чтение плашки</translation>
    </message>
    <message>
        <source>Linked to the instrument</source>
        <translation>Связь с прибором установлена</translation>
    </message>
    <message>
        <source>The instrument does not answer on port %1</source>
        <translation>Прибор не отвечает (порт %1)</translation>
    </message>
    <message>
        <source>No port was chosen: this is the system's likeliest port. Choose the instrument's port with «telkaro --choose-port».</source>
        <translation>Порт прибора не задан: выбран первый подходящий порт системы. Выберите порт прибора: «telkaro --choose-port».</translation>
    </message>
    <message>
        <source>Instrument error %1. Switch the instrument off and on again after 20–30 s.</source>
        <translation>Ошибка %1. Выключите прибор и включите через 20-30 сек</translation>
    </message>
    <message>
        <source>A measurement is running.</source>
        <translation>Идёт измерение.</translation>
    </message>
    <message>
        <source>Choose a kit first.</source>
        <translation>Сначала выберите набор.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Port %1 unplugged: %2. Plug the instrument in again: the port is opened again as soon as it is there.</source>
        <translation>Порт %1 отключён: %2. Подключите прибор снова: программа сама откроет порт, как только он появится.</translation>
    </message>
    <message>
        <source>Port %1 cannot be opened: %2. Close the other program that works with the instrument (the classic window, a terminal): the port is opened as soon as it is free. A plate file can still be opened.</source>
        <translation>Порт %1 не открыт: %2. Закройте другую программу, которая работает с прибором (классическое окно ТЕЛКАРО, терминал): программа откроет порт, как только он освободится. Файл плашки можно открыть и сейчас.</translation>
    </message>
    <message>
        <source>Port %1 cannot be opened: %2. Choose the instrument's port with «telkaro --choose-port». A plate file can still be opened.</source>
        <translation>Порт %1 не открыт: %2. Выберите порт прибора: «telkaro --choose-port». Файл плашки можно открыть и сейчас.</translation>
    </message>
</context>
<context>
    <name>AssayWindow</name>
    <message>
        <source>New kit</source>
        <translation>Новый набор</translation>
    </message>
    <message>
        <source>%1 (copy)</source>
        <translation>%1 (копия)</translation>
    </message>
    <message>
        <source>The kit was not saved to %1: %2</source>
        <translation>Набор не сохранён в %1: %2</translation>
    </message>
    <message>
        <source>New kit — TELKARO Analysis</source>
        <translation>Новый набор — ТЕЛКАРО Анализ</translation>
    </message>
    <message>
        <source>Kit %1 — TELKARO Analysis</source>
        <translation>Набор «%1» — ТЕЛКАРО Анализ</translation>
    </message>
    <message>
        <source>The plate was not analysed. %1</source>
        <translation>Плашка не проанализирована. %1</translation>
    </message>
    <message>
        <source>Open a plate</source>
        <translation>Открыть плашку</translation>
    </message>
    <message>
        <source>Plate files (*.dat *.json);;All files (*)</source>
        <translation>Файлы плашек (*.dat *.json);;Все файлы (*)</translation>
    </message>
    <message>
        <source>the file was not written in full</source>
        <translation>файл записан не полностью</translation>
    </message>
    <message>
        <source>%1 was not saved: %2</source>
        <translation>%1 не сохранён: %2</translation>
    </message>
    <message>
        <source>%1 exists. Replace it with this plate?</source>
        <translation>Файл %1 уже есть. Заменить его этой плашкой?</translation>
    </message>
    <message>
        <source>Save the report</source>
        <translation>Сохранить отчёт</translation>
    </message>
    <message>
        <source>PDF (*.pdf)</source>
        <translation>PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Save the results</source>
        <translation>Сохранить результаты</translation>
    </message>
    <message>
        <source>CSV (*.csv);;JSON (*.json)</source>
        <translation>CSV (*.csv);;JSON (*.json)</translation>
    </message>
    <message>
        <source>Print the report</source>
        <translation>Печать отчёта</translation>
    </message>
    <message>
        <source>The report was not printed: the printer %1 refused it.</source>
        <translation>Отчёт не напечатан: принтер %1 его не принял.</translation>
    </message>
    <message>
        <source>&amp;Kits</source>
        <translation>&amp;Наборы</translation>
    </message>
    <message>
        <source>Kits</source>
        <translation>Наборы</translation>
    </message>
    <message>
        <source>Kit file problem</source>
        <translation>Ошибка в файле набора</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>Нов&amp;ый</translation>
    </message>
    <message>
        <source>Co&amp;py</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <source>Copy the kit</source>
        <translation>Копировать набор</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Изменить</translation>
    </message>
    <message>
        <source>Edit the kit</source>
        <translation>Изменить набор</translation>
    </message>
    <message>
        <source>&amp;Measure</source>
        <translation>Из&amp;мерить</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>Измерить</translation>
    </message>
    <message>
        <source>&amp;Open plate…</source>
        <translation>&amp;Открыть плашку…</translation>
    </message>
    <message>
        <source>Open a plate file</source>
        <translation>Открыть файл плашки</translation>
    </message>
    <message>
        <source>P&amp;rint…</source>
        <translation>&amp;Печать…</translation>
    </message>
    <message>
        <source>Save re&amp;port…</source>
        <translation>Сохранить о&amp;тчёт…</translation>
    </message>
    <message>
        <source>Save the report as PDF</source>
        <translation>Сохранить отчёт в PDF</translation>
    </message>
    <message>
        <source>&amp;Save results…</source>
        <translation>&amp;Сохранить результаты…</translation>
    </message>
    <message>
        <source>Save the results as CSV or JSON</source>
        <translation>Сохранить результаты в CSV или JSON</translation>
    </message>
    <message>
        <source>Instrument status</source>
        <translation>Состояние прибора</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Постановка</translation>
    </message>
    <message>
        <source>Standard curve</source>
        <translation>Стандартная кривая</translation>
    </message>
    <message>
        <source>Standard curve fit</source>
        <translation>Подбор стандартной кривой</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Результаты</translation>
    </message>
    <message>
        <source>Res&amp;ults</source>
        <translation>Р&amp;езультаты</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source> (installed)</source>
        <translation> (установлен)</translation>
    </message>
    <message>
        <source>%1 — wrong</source>
        <translation>%1 — ошибка в файле</translation>
    </message>
    <message>
        <source>TELKARO Analysis — %1</source>
        <translation>ТЕЛКАРО Анализ — %1</translation>
    </message>
    <message>
        <source>TELKARO Analysis</source>
        <translation>ТЕЛКАРО Анализ</translation>
    </message>
    <message>
        <source>The results shown are not saved. Measure a new plate?</source>
        <translation>Результаты на экране не сохранены. Измерить новую плашку?</translation>
    </message>
    <message>
        <source>No result: %1</source>
        <translation>Результата нет: %1</translation>
    </message>
    <message>
        <source>Kit: %1. Plate: %2, %3.</source>
        <translation>Набор: %1. Плашка: %2, %3.</translation>
    </message>
    <message>
        <source>%1, R² = %2</source>
        <translation>%1, R² = %2</translation>
    </message>
    <message>
        <source>A measurement is running. Close the window?</source>
        <translation>Идёт измерение. Закрыть окно?</translation>
    </message>
    <message>
        <source>The results shown are not saved. Close the window?</source>
        <translation>Результаты на экране не сохранены. Закрыть окно?</translation>
    </message>
</context>
<context>
    <name>FormulaField</name>
    <message>
        <source>Check of: %1</source>
        <translation>Проверка: %1</translation>
    </message>
    <message>
        <source>The formula is correct</source>
        <translation>Формула верна</translation>
    </message>
    <message>
        <source>position %1: %2</source>
        <translation>позиция %1: %2</translation>
    </message>
</context>
<context>
    <name>KitEditor</name>
    <message>
        <source>Subtract the &amp;blank</source>
        <translation>Вычитать &amp;бланк</translation>
    </message>
    <message>
        <source>CV l&amp;imit:</source>
        <translation>Преде&amp;л CV:</translation>
    </message>
    <message>
        <source>&amp;Cut-off (qualitative)</source>
        <translation>Порог отсе&amp;чения (качественный анализ)</translation>
    </message>
    <message>
        <source>Standard cur&amp;ve (quantitative)</source>
        <translation>Стандартная кр&amp;ивая (количественный анализ)</translation>
    </message>
    <message>
        <source>Kit editor</source>
        <translation>Редактор набора</translation>
    </message>
    <message>
        <source>Tables and evaluation of the kit</source>
        <translation>Таблицы и оценка набора</translation>
    </message>
    <message>
        <source>Standards</source>
        <translation>Стандарты</translation>
    </message>
    <message>
        <source>Samples</source>
        <translation>Образцы</translation>
    </message>
    <message>
        <source>Evaluation</source>
        <translation>Оценка</translation>
    </message>
    <message>
        <source>Validity rules</source>
        <translation>Правила достоверности</translation>
    </message>
    <message>
        <source>Plate &amp;layout:</source>
        <translation>Раскладка &amp;плашки:</translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation>Со&amp;хранить</translation>
    </message>
    <message>
        <source>Save the kit</source>
        <translation>Сохранить набор</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Close the editor</source>
        <translation>Закрыть редактор</translation>
    </message>
    <message>
        <source>Name of the kit</source>
        <translation>Название набора</translation>
    </message>
    <message>
        <source>Units of the concentrations</source>
        <translation>Единицы концентрации</translation>
    </message>
    <message>
        <source>e.g. ng/ml</source>
        <translation>например, нг/мл</translation>
    </message>
    <message>
        <source>Subtract the blank from every well</source>
        <translation>Вычитать бланк из каждой лунки</translation>
    </message>
    <message>
        <source>Flag replicates above a CV limit</source>
        <translation>Отмечать повторы с CV выше предела</translation>
    </message>
    <message>
        <source>CV limit, %</source>
        <translation>Предел CV, %</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Название:</translation>
    </message>
    <message>
        <source>&amp;Units:</source>
        <translation>&amp;Единицы:</translation>
    </message>
    <message>
        <source>Evaluate by a cut-off</source>
        <translation>Оценка по порогу отсечения</translation>
    </message>
    <message>
        <source>Evaluate by a standard curve</source>
        <translation>Оценка по стандартной кривой</translation>
    </message>
    <message>
        <source>Cut-off formula</source>
        <translation>Формула порога отсечения</translation>
    </message>
    <message>
        <source>Grey zone, % of the cut-off either side</source>
        <translation>Серая зона, % от порога в обе стороны</translation>
    </message>
    <message>
        <source>Positive when the density is above or below the cut-off</source>
        <translation>Положительный результат: оптическая плотность выше или ниже порога</translation>
    </message>
    <message>
        <source>above the cut-off</source>
        <translation>выше порога</translation>
    </message>
    <message>
        <source>below the cut-off</source>
        <translation>ниже порога</translation>
    </message>
    <message>
        <source>Cut-off &amp;formula:</source>
        <translation>&amp;Формула порога:</translation>
    </message>
    <message>
        <source>&amp;Grey zone:</source>
        <translation>&amp;Серая зона:</translation>
    </message>
    <message>
        <source>Positive &amp;when the density is:</source>
        <translation>Поло&amp;жительный, если плотность:</translation>
    </message>
    <message>
        <source>Model of the curve</source>
        <translation>Модель кривой</translation>
    </message>
    <message>
        <source>Linear</source>
        <translation>Линейная</translation>
    </message>
    <message>
        <source>Log-linear</source>
        <translation>Лог-линейная</translation>
    </message>
    <message>
        <source>Point to point</source>
        <translation>По точкам</translation>
    </message>
    <message>
        <source>Weighting of the points</source>
        <translation>Взвешивание точек</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>&amp;Model:</source>
        <translation>&amp;Модель:</translation>
    </message>
    <message>
        <source>Weigh&amp;ting:</source>
        <translation>&amp;Взвешивание:</translation>
    </message>
    <message>
        <source>The kit has no name.</source>
        <translation>У набора нет названия.</translation>
    </message>
    <message>
        <source>No well of the layout is in use.</source>
        <translation>В раскладке не используется ни одна лунка.</translation>
    </message>
    <message>
        <source>Subtracting the blank needs a BLK well in the layout.</source>
        <translation>Для вычитания бланка в раскладке нужна лунка BLK.</translation>
    </message>
    <message>
        <source>The cut-off has no formula.</source>
        <translation>У порога отсечения нет формулы.</translation>
    </message>
    <message>
        <source>Cut-off formula: %1</source>
        <translation>Формула порога отсечения: %1</translation>
    </message>
    <message>
        <source>The curve "%1" needs at least %2 standards of different concentrations; the layout has %3.</source>
        <translation>Кривой «%1» нужно не меньше %2 стандартов разной концентрации; в раскладке их %3.</translation>
    </message>
    <message>
        <source>The kit cannot be saved yet:</source>
        <translation>Набор пока нельзя сохранить:</translation>
    </message>
    <message>
        <source>Save the changes to the kit?</source>
        <translation>Сохранить изменения в наборе?</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Don't save</source>
        <translation>Не сохранять</translation>
    </message>
</context>
<context>
    <name>KitGrid</name>
    <message>
        <source>Plate layout</source>
        <translation>Раскладка плашки</translation>
    </message>
    <message>
        <source>Blank</source>
        <translation>Бланк</translation>
    </message>
    <message>
        <source>Standard %1</source>
        <translation>Стандарт %1</translation>
    </message>
    <message>
        <source>Control %1</source>
        <translation>Контроль %1</translation>
    </message>
    <message>
        <source>Sample %1</source>
        <translation>Образец %1</translation>
    </message>
    <message>
        <source>Unused</source>
        <translation>Не используется</translation>
    </message>
</context>
<context>
    <name>PlateExport</name>
    <message>
        <source>the file is empty</source>
        <translation>файл пуст</translation>
    </message>
    <message>
        <source>the file is too large to be a plate file (over 1 MiB)</source>
        <translation>файл слишком велик для файла плашки (больше 1 МиБ)</translation>
    </message>
    <message>
        <source>the file ends before its last line: it is cut short</source>
        <translation>файл кончается раньше последней строки: он обрезан</translation>
    </message>
    <message>
        <source>the file's size is not that of a plate file of 1 to 12 strips: it is cut short or not a plate file</source>
        <translation>размер файла не подходит для файла плашки от 1 до 12 стрипов: файл обрезан или это не файл плашки</translation>
    </message>
    <message>
        <source>a line does not end with CR LF: it is not a plate file</source>
        <translation>строка не кончается на CR LF: это не файл плашки</translation>
    </message>
    <message>
        <source>a field is not a well value followed by TAB: it is not a plate file</source>
        <translation>поле не является значением лунки с TAB после него: это не файл плашки</translation>
    </message>
    <message>
        <source>not a plate file, nor JSON</source>
        <translation>не файл плашки и не JSON</translation>
    </message>
    <message>
        <source>the file has no plate %1 (it has %2)</source>
        <translation>в файле нет плашки %1 (их %2)</translation>
    </message>
    <message>
        <source>plate %1 does not hold 1 to 12 whole strips</source>
        <translation>плашка %1 не содержит от 1 до 12 целых стрипов</translation>
    </message>
    <message>
        <source>plate %1: well %2 is not a value</source>
        <translation>плашка %1: лунка %2 не является значением</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>такого файла нет</translation>
    </message>
    <message>
        <source>not an ordinary file</source>
        <translation>это не обычный файл</translation>
    </message>
</context>
<context>
    <name>PlateMap</name>
    <message>
        <source>Plate map</source>
        <translation>Схема плашки</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>, density %1</source>
        <translation>, ОП %1</translation>
    </message>
</context>
<context>
    <name>PortProblem</name>
    <message>
        <source>no reason given</source>
        <translation>причина не указана</translation>
    </message>
    <message>
        <source>no port name was given</source>
        <translation>имя порта не задано</translation>
    </message>
    <message>
        <source>the name is too long to be a port</source>
        <translation>имя слишком длинное для порта</translation>
    </message>
    <message>
        <source>no such port</source>
        <translation>такого порта нет</translation>
    </message>
    <message>
        <source>it is a folder, not a serial port</source>
        <translation>это папка, а не последовательный порт</translation>
    </message>
    <message>
        <source>it is an ordinary file, not a serial port</source>
        <translation>это обычный файл, а не последовательный порт</translation>
    </message>
    <message>
        <source>it is not a serial port</source>
        <translation>это не последовательный порт</translation>
    </message>
    <message>
        <source>in use by another program</source>
        <translation>порт занят другой программой</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>нет прав на доступ к порту</translation>
    </message>
    <message>
        <source>the device was unplugged or closed</source>
        <translation>устройство отключено или закрыто</translation>
    </message>
    <message>
        <source>the system refused to open it</source>
        <translation>система не открыла порт</translation>
    </message>
</context>
<context>
    <name>ResultsModel</name>
    <message>
        <source>Concentration</source>
        <translation>Концентрация</translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>в %1</translation>
    </message>
</context>
<context>
    <name>RolePanel</name>
    <message>
        <source>Role of the selected wells</source>
        <translation>Роль выделенных лунок</translation>
    </message>
    <message>
        <source>&amp;Assign</source>
        <translation>Н&amp;азначить</translation>
    </message>
    <message>
        <source>&amp;Fill in order</source>
        <translation>&amp;Заполнить по порядку</translation>
    </message>
    <message>
        <source>Role</source>
        <translation>Роль</translation>
    </message>
    <message>
        <source>Unused</source>
        <translation>Не используется</translation>
    </message>
    <message>
        <source>Blank</source>
        <translation>Бланк</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Стандарт</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Контроль</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Образец</translation>
    </message>
    <message>
        <source>Number of the standard or sample; where a fill starts</source>
        <translation>Номер стандарта или образца; с него начинается заполнение</translation>
    </message>
    <message>
        <source>Name of the control</source>
        <translation>Название контроля</translation>
    </message>
    <message>
        <source>Replicates: wells for each number</source>
        <translation>Повторы: лунок на каждый номер</translation>
    </message>
    <message>
        <source>Order of the fill</source>
        <translation>Порядок заполнения</translation>
    </message>
    <message>
        <source>Down each strip</source>
        <translation>По стрипам (сверху вниз)</translation>
    </message>
    <message>
        <source>Along each row</source>
        <translation>По рядам (слева направо)</translation>
    </message>
    <message>
        <source>Assign the role to the selected wells</source>
        <translation>Назначить роль выделенным лункам</translation>
    </message>
    <message>
        <source>Fill the selected wells in order</source>
        <translation>Заполнить выделенные лунки по порядку</translation>
    </message>
    <message>
        <source>Why the wells kept their roles</source>
        <translation>Почему роли лунок не изменились</translation>
    </message>
    <message>
        <source>&amp;Role:</source>
        <translation>&amp;Роль:</translation>
    </message>
    <message>
        <source>C&amp;ontrol:</source>
        <translation>&amp;Контроль:</translation>
    </message>
    <message>
        <source>Re&amp;plicates:</source>
        <translation>Пов&amp;торы:</translation>
    </message>
    <message>
        <source>Or&amp;der:</source>
        <translation>Поря&amp;док:</translation>
    </message>
    <message>
        <source>Select the wells first: with the mouse, or Shift and the arrows.</source>
        <translation>Сначала выделите лунки: мышью или клавишей Shift со стрелками.</translation>
    </message>
    <message>
        <source>"%1" cannot name a control: a Latin letter, then Latin letters, digits or _, 32 at most; not BLK, Sn or Un.</source>
        <translation>«%1» не годится как название контроля: латинская буква, затем латинские буквы, цифры или _, не больше 32 знаков; не BLK, Sn или Un.</translation>
    </message>
    <message>
        <source>Only standards and samples are filled in order.</source>
        <translation>По порядку заполняются только стандарты и образцы.</translation>
    </message>
    <message>
        <source>Standards go up to S99: %1 wells from S%2, %3 to a standard, would reach S%4.</source>
        <translation>Стандарты нумеруются только до S99: заполнение от S%2 (лунок: %1, повторов: %3) дошло бы до S%4.</translation>
    </message>
    <message>
        <source>Samples go up to U999: %1 wells from U%2, %3 to a sample, would reach U%4.</source>
        <translation>Образцы нумеруются только до U999: заполнение от U%2 (лунок: %1, повторов: %3) дошло бы до U%4.</translation>
    </message>
    <message>
        <source>Numb&amp;er:</source>
        <translation>Н&amp;омер:</translation>
    </message>
</context>
<context>
    <name>RuleList</name>
    <message>
        <source>&amp;Add rule</source>
        <translation>Добавит&amp;ь правило</translation>
    </message>
    <message>
        <source>Add a validity rule</source>
        <translation>Добавить правило достоверности</translation>
    </message>
    <message>
        <source>Validity rule %1: %2</source>
        <translation>Правило достоверности %1: %2</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Validity rule %1</source>
        <translation>Правило достоверности %1</translation>
    </message>
    <message>
        <source>Remove validity rule %1</source>
        <translation>Удалить правило достоверности %1</translation>
    </message>
</context>
<context>
    <name>TokenTables</name>
    <message>
        <source>Standard</source>
        <translation>Стандарт</translation>
    </message>
    <message>
        <source>Concentration</source>
        <translation>Концентрация</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Образец</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Dilution</source>
        <translation>Разведение</translation>
    </message>
    <message>
        <source>Standards and their concentrations</source>
        <translation>Стандарты и их концентрации</translation>
    </message>
    <message>
        <source>Samples, their names and dilutions</source>
        <translation>Образцы, их названия и разведения</translation>
    </message>
    <message>
        <source>A concentration is a number of 0 or more</source>
        <translation>Концентрация — число не меньше 0</translation>
    </message>
    <message>
        <source>A dilution is a number above 0</source>
        <translation>Разведение — число больше 0</translation>
    </message>
    <message>
        <source>The standard %1 has no concentration.</source>
        <translation>У стандарта %1 нет концентрации.</translation>
    </message>
    <message>
        <source>The concentration of %1, "%2", is not a number of 0 or more.</source>
        <translation>Концентрация %1 («%2») — не число от 0 и больше.</translation>
    </message>
    <message>
        <source>%1 and %2 have the same concentration, %3.</source>
        <translation>У %1 и %2 одинаковая концентрация: %3.</translation>
    </message>
    <message>
        <source>The dilution of %1, "%2", is not a number above 0.</source>
        <translation>Разведение %1 («%2») — не число больше 0.</translation>
    </message>
</context>
<context>
    <name>WindowText</name>
    <message>
        <source>TELKARO Analysis: a plate measured by its kit, and the kit's answer shown, printed and saved.

The instrument's port is --port, else the environment variable TELKARO_PORT, else the Port setting (stored by telkaro --choose-port), else the system's first port (USB adapters before built-in ports).</source>
        <translation>ТЕЛКАРО Анализ: плашка измеряется по набору, ответ набора показывается, печатается и сохраняется.

Порт прибора берётся из --port, иначе из переменной окружения TELKARO_PORT, иначе из параметра Port в настройках (его сохраняет telkaro --choose-port), иначе первый порт системы (переходники USB раньше встроенных портов).</translation>
    </message>
    <message>
        <source>Open this port, for this run only: ttyUSB0, COM3, /dev/pts/3, /dev/serial/by-id/...</source>
        <translation>Открыть этот порт, только в этот раз: ttyUSB0, COM3, /dev/pts/3, /dev/serial/by-id/...</translation>
    </message>
    <message>
        <source>name</source>
        <translation>имя</translation>
    </message>
    <message>
        <source>Choose this kit file at start.</source>
        <translation>Выбрать этот файл набора при запуске.</translation>
    </message>
    <message>
        <source>kit.assay.json</source>
        <translation>набор.assay.json</translation>
    </message>
    <message>
        <source>plate</source>
        <translation>плашка</translation>
    </message>
    <message>
        <source>A plate file (.dat, or telkaro-read's JSON) to analyse instead of measuring.</source>
        <translation>Файл плашки (.dat или JSON telkaro-read), который анализируется вместо измерения.</translation>
    </message>
    <message>
        <source>[plate]</source>
        <translation>[плашка]</translation>
    </message>
    <message>
        <source>%1: %2
Help: %1 --help
</source>
        <translation>%1: %2
Справка: %1 --help
</translation>
    </message>
    <message>
        <source>one plate file at most: %1</source>
        <translation>не больше одного файла плашки: %1</translation>
    </message>
    <message>
        <source>--port: the port's name is empty</source>
        <translation>--port: имя порта пустое</translation>
    </message>
    <message>
        <source>--assay: the kit file's name is empty</source>
        <translation>--assay: имя файла набора пустое</translation>
    </message>
    <message>
        <source>cannot make the folder %1</source>
        <translation>не удалось создать папку %1</translation>
    </message>
    <message>
        <source>the file was not written in full</source>
        <translation>файл записан не полностью</translation>
    </message>
    <message>
        <source>the report could not be drawn</source>
        <translation>отчёт не удалось нарисовать</translation>
    </message>
</context>
</TS>