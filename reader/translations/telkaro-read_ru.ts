<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Assay</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>this curve needs standards at %1 different concentrations or more, and there are %2</source>
        <translation>для этой кривой нужны стандарты не менее чем %1 разных концентраций, а их %2</translation>
    </message>
    <message>
        <source>the curve could not be fitted to the standards: check the standards&apos; densities, or choose another curve</source>
        <translation>кривую не удалось подогнать к стандартам: проверьте оптические плотности стандартов или выберите другую кривую</translation>
    </message>
    <message>
        <source>a standard&apos;s concentration or density is not a number</source>
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
        <source>the standards&apos; densities are all the same: no curve can be fitted</source>
        <translation>оптические плотности всех стандартов одинаковы: кривую построить нельзя</translation>
    </message>
    <message>
        <source>no standard has a density above 0, so the points cannot be weighted by their density: choose no weighting</source>
        <translation>ни у одного стандарта нет плотности больше 0, поэтому точки нельзя взвесить по плотности: выберите подгонку без весов</translation>
    </message>
    <message>
        <source>the standards&apos; mean densities do not steadily rise or fall with the concentration, so no point-to-point curve can be drawn through them</source>
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
        <source>no group %1 in the kit&apos;s layout</source>
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
        <source>the standard curve cannot be fitted: %1</source>
        <translation>стандартную кривую построить нельзя: %1</translation>
    </message>
    <message>
        <source>the cut-off &quot;%1&quot; has no value: %2</source>
        <translation>у порога &quot;%1&quot; нет значения: %2</translation>
    </message>
    <message>
        <source>the cut-off &quot;%1&quot; is %2, not above 0: no sample can be judged by it</source>
        <translation>порог &quot;%1&quot; равен %2, а не больше 0: по нему нельзя оценить образцы</translation>
    </message>
    <message>
        <source>the kit&apos;s layout uses %1 strips; the plate has %2</source>
        <translation>раскладка набора занимает стрипов: %1; на плашке их %2</translation>
    </message>
    <message>
        <source>no well of %1 has a density (%2)</source>
        <translation>ни у одной лунки %1 нет оптической плотности (%2)</translation>
    </message>
    <message>
        <source>%1: field &quot;%2&quot;: %3</source>
        <translation>%1: поле &quot;%2&quot;: %3</translation>
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
        <source>unknown token &quot;%1&quot; in well %2%3 (BLK, S1…S99, NC, PC, a control listed in &quot;controls&quot;, U1…U999 or -)</source>
        <translation>неизвестное обозначение &quot;%1&quot; в лунке %2%3 (BLK, S1…S99, NC, PC, контроль из &quot;controls&quot;, U1…U999 или -)</translation>
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
        <source>&quot;%1&quot; at position %2: %3</source>
        <translation>&quot;%1&quot; в позиции %2: %3</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot;: %2</translation>
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
        <source>missing; a kit file says &quot;%1&quot;</source>
        <translation>отсутствует; в файле набора указано &quot;%1&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not &quot;%2&quot;</source>
        <translation>&quot;%1&quot; — не &quot;%2&quot;</translation>
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
        <source>&quot;%1&quot; cannot name a control (a letter, then letters, digits or _; not BLK, Sn or Un)</source>
        <translation>&quot;%1&quot; не может быть именем контроля (буква, затем буквы, цифры или _; не BLK, Sn или Un)</translation>
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
        <source>&quot;%1&quot; is neither &quot;subtract&quot; nor &quot;none&quot;</source>
        <translation>&quot;%1&quot; — ни &quot;subtract&quot;, ни &quot;none&quot;</translation>
    </message>
    <message>
        <source>&quot;subtract&quot;, but the layout has no BLK well</source>
        <translation>&quot;subtract&quot;, но в раскладке нет лунки BLK</translation>
    </message>
    <message>
        <source>a kit has either &quot;cutoff&quot; or &quot;curve&quot;, not %1</source>
        <translation>у набора есть либо &quot;cutoff&quot;, либо &quot;curve&quot;, а здесь %1</translation>
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
        <source>&quot;%1&quot; is neither &quot;above&quot; nor &quot;below&quot;</source>
        <translation>&quot;%1&quot; — ни &quot;above&quot;, ни &quot;below&quot;</translation>
    </message>
    <message>
        <source>model &quot;%1&quot; is not linear, loglinear, point-to-point, 4pl or 5pl</source>
        <translation>модель &quot;%1&quot; — не linear, loglinear, point-to-point, 4pl или 5pl</translation>
    </message>
    <message>
        <source>weighting &quot;%1&quot; is not none, 1/y or 1/y^2</source>
        <translation>взвешивание &quot;%1&quot; — не none, 1/y или 1/y^2</translation>
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
        <source>%1 (value %2)</source>
        <translation>%1 (значение %2)</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
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
        <source>Rules not met: %1</source>
        <translation>Не выполнены правила: %1</translation>
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
        <source>Blank, standards and controls</source>
        <translation>Бланк, стандарты и контроли</translation>
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
    <name>PlateExport</name>
    <message>
        <source>no such file</source>
        <translation>такого файла нет</translation>
    </message>
    <message>
        <source>not an ordinary file</source>
        <translation>это не обычный файл</translation>
    </message>
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
        <source>a line does not end with CR LF: it is not a plate file</source>
        <translation>строка не кончается на CR LF: это не файл плашки</translation>
    </message>
    <message>
        <source>a field is not a well value followed by TAB: it is not a plate file</source>
        <translation>поле не является значением лунки с TAB после него: это не файл плашки</translation>
    </message>
    <message>
        <source>the file&apos;s size is not that of a plate file of 1 to 12 strips: it is cut short or not a plate file</source>
        <translation>размер файла не подходит для файла плашки от 1 до 12 стрипов: файл обрезан или это не файл плашки</translation>
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
    <name>ReaderText</name>
    <message>
        <source>telkaro-read: cannot convert %1: %2</source>
        <translation>telkaro-read: не удалось преобразовать %1: %2</translation>
    </message>
    <message>
        <source>Try: %1 --help
</source>
        <translation>Справка: %1 --help
</translation>
    </message>
    <message>
        <source>--%1 is given more than once</source>
        <translation>--%1 задан больше одного раза</translation>
    </message>
    <message>
        <source>unknown command: %1</source>
        <translation>неизвестная команда: %1</translation>
    </message>
    <message>
        <source>convert: no file named</source>
        <translation>convert: не указан файл</translation>
    </message>
    <message>
        <source>unexpected argument: %1</source>
        <translation>лишний аргумент: %1</translation>
    </message>
    <message>
        <source>--port: the port name is empty</source>
        <translation>--port: имя порта пустое</translation>
    </message>
    <message>
        <source>--strips: %1 is not a number from 1 to 12</source>
        <translation>--strips: %1 — не число от 1 до 12</translation>
    </message>
    <message>
        <source>--repeat: %1 is not a number from 1 to %2</source>
        <translation>--repeat: %1 — не число от 1 до %2</translation>
    </message>
    <message>
        <source>--interval: %1 is not a number of seconds from 0 to 604800</source>
        <translation>--interval: %1 — не число секунд от 0 до 604800</translation>
    </message>
    <message>
        <source>--repeat and --interval go with measure and read-plate</source>
        <translation>--repeat и --interval задаются только для measure и read-plate</translation>
    </message>
    <message>
        <source>--timeout: %1 is not a number of seconds above 0 and up to 604800</source>
        <translation>--timeout: %1 — не число секунд больше 0 и не больше 604800</translation>
    </message>
    <message>
        <source>--output: the file name is empty</source>
        <translation>--output: имя файла пустое</translation>
    </message>
    <message>
        <source>--format: %1 is not dat, csv or json</source>
        <translation>--format: %1 — не dat, csv и не json</translation>
    </message>
    <message>
        <source>--output and --format go with measure, read-plate and convert</source>
        <translation>--output и --format задаются только для measure, read-plate и convert</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>не удалось записать %1: %2</translation>
    </message>
    <message>
        <source>cannot write to standard output</source>
        <translation>не удалось записать в стандартный вывод</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 с</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 мин %2 с</translation>
    </message>
    <message>
        <source>telkaro-read: port %1 was lost: %2</source>
        <translation>telkaro-read: порт %1 пропал: %2</translation>
    </message>
    <message>
        <source>telkaro-read: cannot open port %1: %2</source>
        <translation>telkaro-read: не удалось открыть порт %1: %2</translation>
    </message>
    <message>
        <source>waiting for the link</source>
        <translation>ожидание связи</translation>
    </message>
    <message>
        <source>telkaro-read: port %1: waiting for the instrument</source>
        <translation>telkaro-read: порт %1: ожидание прибора</translation>
    </message>
    <message>
        <source>telkaro-read: the instrument reports error %1</source>
        <translation>telkaro-read: прибор сообщает об ошибке %1</translation>
    </message>
    <message>
        <source>measuring</source>
        <translation>измерение</translation>
    </message>
    <message>
        <source>reading the block</source>
        <translation>чтение данных</translation>
    </message>
    <message>
        <source>telkaro-read: plate %1 of %2: </source>
        <translation>telkaro-read: плашка %1 из %2: </translation>
    </message>
    <message>
        <source>starting the measurement</source>
        <translation>запуск измерения</translation>
    </message>
    <message>
        <source>telkaro-read: the instrument&apos;s data block is not a plate (%1 characters)</source>
        <translation>telkaro-read: данные прибора не являются плашкой (%1 символов)</translation>
    </message>
    <message>
        <source>telkaro-read: plate %1 of %2 written; %3 left</source>
        <translation>telkaro-read: плашка %1 из %2 записана; осталось %3</translation>
    </message>
    <message>
        <source>telkaro-read: plate %1 starts late: plate %2 took %3, longer than the interval</source>
        <translation>telkaro-read: плашка %1 начинается с опозданием: плашка %2 заняла %3, дольше интервала</translation>
    </message>
    <message>
        <source>telkaro-read: the instrument on port %1 did not answer within %2 (%3)</source>
        <translation>telkaro-read: прибор на порту %1 не ответил за %2 (%3)</translation>
    </message>
    <message>
        <source>telkaro-read: interrupted</source>
        <translation>telkaro-read: прервано</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>это папка</translation>
    </message>
    <message>
        <source>telkaro-read: plate %1 of %2 written</source>
        <translation>telkaro-read: плашка %1 из %2 записана</translation>
    </message>
    <message>
        <source>the file was not written in full</source>
        <translation>файл записан не полностью</translation>
    </message>
    <message>
        <source>telkaro-read: cannot analyse %1: %2</source>
        <translation>telkaro-read: не удаётся проанализировать %1: %2</translation>
    </message>
    <message>
        <source>telkaro-read: %1: the run is invalid by the kit&apos;s rules</source>
        <translation>telkaro-read: %1: постановка недействительна по правилам набора</translation>
    </message>
    <message>
        <source>telkaro-read: --strips %1: the kit&apos;s layout uses %2 strips</source>
        <translation>telkaro-read: --strips %1: раскладка набора занимает стрипов: %2</translation>
    </message>
    <message>
        <source>Usage: telkaro-read [options] status
       telkaro-read [options] measure
       telkaro-read [options] read-plate
       telkaro-read [options] convert FILE.dat
       telkaro-read [options] analyze --assay KIT.assay.json PLATE

Reads 96-well plates from the photometer without a window, for scripts.

Commands:
  status              poll the instrument and print ready, or error and its code
  measure             measure the plate, as Measurement in the window does
  read-plate          read the plate the instrument holds, as Read plate does
  convert FILE.dat    write a .dat file saved by the window in another format
  analyze PLATE       the kit&apos;s answer for a plate: a .dat file, or the JSON
                      telkaro-read writes

Options:
  --port NAME         the instrument&apos;s port (else TELKARO_PORT, the Port
                      setting, the likeliest port)
  --strips N          strips to measure, 1 to 12 (default 12)
  -o, --output FILE   where the plates go (default, or -: standard output)
  --format FORMAT     dat, csv or json (default from the output&apos;s suffix, else dat)
  --repeat N          a series of N plates (default 1); dat: FILE-001.dat, ...
  --interval SECONDS  plate k starts k x SECONDS after the first (default 0)
  --timeout SECONDS   the longest wait for an answer of the instrument
                      (default 30)
  --assay KIT         analyse each plate by this kit file (measure, read-plate,
                      analyze); measure then measures the strips the kit uses
  --plate N           analyze: the plate of a JSON file (default 1)
  --report FILE.html  with --assay: the printable report
  -q, --quiet         no progress on standard error
  -h, --help          show this help and exit
  --version           show the version and exit

Exit status:
  0    done
  2    usage: an unknown option or a bad value
  3    the port cannot be opened
  4    the instrument did not answer within the timeout
  5    the instrument reported an error, or sent no plate
  6    the port was lost during the run
  7    the output cannot be written
  8    the file to convert or analyse cannot be read or is not a plate file
  9    the kit file is wrong, or the plate lacks strips its layout uses
  10   the plate was analysed but the kit&apos;s validity rules fail (the results
       and the report are written, marked invalid)
  130  interrupted (Ctrl-C); the complete plates are kept
</source>
        <translation>Использование: telkaro-read [параметры] status
               telkaro-read [параметры] measure
               telkaro-read [параметры] read-plate
               telkaro-read [параметры] convert ФАЙЛ.dat
               telkaro-read [параметры] analyze --assay НАБОР.assay.json ПЛАШКА

Читает 96-луночные плашки с фотометра без окна, для скриптов.

Команды:
  status              опросить прибор и вывести ready или error и код ошибки
  measure             измерить плашку, как пункт «Измерение» в окне
  read-plate          прочитать плашку, которая хранится в приборе, как «Чтение плашки»
  convert ФАЙЛ.dat    записать файл .dat, сохранённый окном, в другом формате
  analyze ПЛАШКА      результат набора для плашки: файла .dat или JSON,
                      который пишет telkaro-read

Параметры:
  --port ИМЯ          порт прибора (иначе TELKARO_PORT, параметр Port
                      в настройках, наиболее вероятный порт)
  --strips N          число стрипов для измерения, от 1 до 12 (по умолчанию 12)
  -o, --output ФАЙЛ   куда записать плашки (по умолчанию или -: стандартный вывод)
  --format ФОРМАТ     dat, csv или json (по умолчанию по расширению файла, иначе dat)
  --repeat N          серия из N плашек (по умолчанию 1); dat: ФАЙЛ-001.dat, ...
  --interval СЕКУНДЫ  плашка k начинается через k x СЕКУНДЫ после первой
                      (по умолчанию 0)
  --timeout СЕКУНДЫ   самое долгое ожидание ответа прибора (по умолчанию 30)
  --assay НАБОР       анализировать каждую плашку по этому файлу набора (measure,
                      read-plate, analyze); measure измеряет стрипы, которые занимает набор
  --plate N           analyze: номер плашки в файле JSON (по умолчанию 1)
  --report ФАЙЛ.html  с --assay: отчёт для печати
  -q, --quiet         не показывать ход работы в стандартном потоке ошибок
  -h, --help          показать эту справку и выйти
  --version           показать версию и выйти

Код завершения:
  0    готово
  2    ошибка в командной строке: неизвестный параметр или неверное значение
  3    порт не открывается
  4    прибор не ответил за время ожидания
  5    прибор сообщил об ошибке или не передал плашку
  6    порт пропал во время работы
  7    результат не удаётся записать
  8    файл для convert или analyze не читается или не является файлом плашки
  9    файл набора содержит ошибку, или на плашке нет стрипов из его раскладки
  10   плашка проанализирована, но правила валидности набора не выполнены
       (результаты и отчёт записаны с пометкой «недействительна»)
  130  прервано (Ctrl-C); законченные плашки сохранены
</translation>
    </message>
    <message>
        <source>no command: status, measure, read-plate, convert or analyze</source>
        <translation>не задана команда: status, measure, read-plate, convert или analyze</translation>
    </message>
    <message>
        <source>analyze: no plate file named</source>
        <translation>analyze: не указан файл плашки</translation>
    </message>
    <message>
        <source>--port: convert and analyze use no port</source>
        <translation>--port: командам convert и analyze порт не нужен</translation>
    </message>
    <message>
        <source>--assay goes with measure, read-plate and analyze</source>
        <translation>--assay используется с measure, read-plate и analyze</translation>
    </message>
    <message>
        <source>--assay: the file name is empty</source>
        <translation>--assay: имя файла пусто</translation>
    </message>
    <message>
        <source>analyze: no kit file named (--assay)</source>
        <translation>analyze: не указан файл набора (--assay)</translation>
    </message>
    <message>
        <source>--plate: %1 is not a plate number of analyze</source>
        <translation>--plate: %1 не является номером плашки для analyze</translation>
    </message>
    <message>
        <source>--report goes with --assay</source>
        <translation>--report используется с --assay</translation>
    </message>
    <message>
        <source>--report: the file name is empty</source>
        <translation>--report: имя файла пусто</translation>
    </message>
    <message>
        <source>--format: an analysis is written as json or csv</source>
        <translation>--format: анализ записывается как json или csv</translation>
    </message>
    <message>
        <source>telkaro-read: the run is invalid by the kit&apos;s rules</source>
        <translation>telkaro-read: постановка недействительна по правилам набора</translation>
    </message>
</context>
</TS>
