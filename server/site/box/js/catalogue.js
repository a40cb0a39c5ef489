// The demo catalogue for the pages' scripts, item id -> title, extra text and source lists of
// episodes (name, video). Keep it in step with ../../catalogue.txt; an item that cannot be played
// has no source lists.
var CATALOGUE = {
  "101": {
    "title": "The Quiet Harbour",
    "extra": "2019 剧情 英国",
    "sources": [
      [
        {"name": "正片 (Director's Cut)", "video": "m/101/0/1"}
      ],
      [
        {"name": "正片", "video": "h/101/1/1"}
      ]
    ]
  },
  "102": {
    "title": "山月记事",
    "extra": "2022 古装 剧情",
    "sources": [
      [
        {"name": "第1集", "video": "m/102/0/1"},
        {"name": "第2集", "video": "m/102/0/2"},
        {"name": "第3集", "video": "m/102/0/3"},
        {"name": "第4集", "video": "m/102/0/4"}
      ],
      [
        {"name": "第1集", "video": "h/102/1/1"},
        {"name": "第2集", "video": "h/102/1/2"}
      ]
    ]
  },
  "103": {
    "title": "Tide-Runner",
    "extra": "2020 动作 冒险",
    "sources": [
      [
        {"name": "正片", "video": "m/103/0/1"}
      ]
    ]
  },
  "104": {
    "title": "城南旧梦 第二季",
    "extra": "2023 都市 爱情",
    "sources": [
      [
        {"name": "第1集", "video": "m/104/0/1"},
        {"name": "第2集", "video": "m/104/0/2"},
        {"name": "第3集", "video": "m/104/0/3"},
        {"name": "第4集", "video": "m/104/0/4"},
        {"name": "第5集", "video": "m/104/0/5"},
        {"name": "第6集", "video": "m/104/0/6"}
      ]
    ]
  },
  "105": {
    "title": "A Year in the Hills",
    "extra": "2018 纪录片 自然",
    "sources": [
      [
        {"name": "上集 春与夏", "video": "m/105/0/1"},
        {"name": "下集 秋与冬", "video": "m/105/0/2"}
      ]
    ]
  },
  "106": {
    "title": "星河小队",
    "extra": "2021 动画 少儿",
    "sources": [
      [
        {"name": "第01话 出发", "video": "m/106/0/1"},
        {"name": "第02话 流星雨", "video": "m/106/0/2"},
        {"name": "第03话 回家", "video": "m/106/0/3"}
      ]
    ]
  },
  "107": {
    "title": "Night Train 9",
    "extra": "2017 悬疑 犯罪",
    "sources": [
      [
        {"name": "正片", "video": "m/107/0/1"}
      ],
      [
        {"name": "正片", "video": "h/107/1/1"}
      ],
      [
        {"name": "正片 粤语", "video": "c/107/2/1"}
      ]
    ]
  },
  "108": {
    "title": "雾中来信",
    "extra": "2016 文艺",
    "sources": []
  }
};
